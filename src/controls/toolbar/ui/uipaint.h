#pragma once
// The shared painters of the themed controls: push buttons, edit buttons, check boxes, radio
// buttons, edit and list-box frames, list items, status bars, caption bars, title-bar frames
// and panel captions, and a few small helpers.
//
// Each painter draws on the canvas (or DC) and rectangle it is given, in canvas coordinates,
// and keeps nothing between calls. Unless a painter says otherwise it resolves the theme type
// it is given (ResolveThemeType) and paints the resulting way. A visual-style painter whose
// visual-style data is not open draws nothing. Theme names are compared with the current
// theme's registered name case-sensitively. Main thread only.

#include <windows.h>

#include "classlib/graphics.h"
#include "controls/toolbar/themed/thmtheme.h"
#include "controls/toolbar/ui/uitypes.h"
#include "controls/wide/widechecklist.h"

namespace classlib {
class TControl;
class TWinControl;
}

namespace ui {

// A toolbar item record for a button: a toolbar (vkToolbarBar) in toolbar style with the
// application active; Pushed only when also hot; HotState hsSelected when hot; Checked =
// selected. Every other field is zero.
themed::TThmItemInfo FillButtonItemInfo(bool enabled, bool pushed, bool hotTrack, bool selected);

// A push-button face. kind 0 paints by the theme type; 1 and 2 always paint the current
// theme's item button (1 with opaque items); 3 paints the current theme's dock background.
// A focused button gets a focus rectangle 3 pixels inside afterwards, whatever the kind.
void PaintThemedButton(classlib::TCanvas& canvas, const RECT& rect, bool enabled, bool pushed,
                       bool hotTrack, bool checked, bool focused, bool isDefault,
                       TUiThemeType themeType, int kind);
// The current theme's face of a push button, with the faces some themes give push buttons
// of their own ("Aluminum", "OfficeXP", "Athen", "Dream").
void PaintThmButtonFace(classlib::TCanvas& canvas, const RECT& rect, themed::TThmItemInfo item,
                        bool hotTrack, bool checked);
// A brushed-metal face: a vertical gradient around baseColor, a one-pixel 3-D edge and a
// rounded outline; reversed when pushed.
void PaintAluminumButton(classlib::TCanvas& canvas, const RECT& rect, bool pushed,
                         classlib::TColor baseColor);
// PaintThemedButton, then a frame in frameColor (clNone: the colour found at (left + 4,
// top) after painting) and the four inner corner pixels softened to their neighbours.
void PaintEditButtonFace(classlib::TCanvas& canvas, const RECT& rect, bool enabled, bool pushed,
                         bool hotTrack, bool checked, bool focused, bool isDefault,
                         TUiThemeType themeType, int kind, classlib::TColor frameColor);

void PaintThemedCheckBox(classlib::TCanvas& canvas, const RECT& rect, bool enabled,
                         wide::TCheckBoxState state, bool hotTrack, bool pushed, bool focused,
                         TUiThemeType themeType);
void PaintThemedRadioButton(classlib::TCanvas& canvas, const RECT& rect, bool enabled, bool checked,
                            bool hotTrack, bool pushed, bool focused, TUiThemeType themeType);

// The frame of an edit box; thtNone paints nothing. With excludeInner the part inside the
// frame (1 pixel in when hot, 2 otherwise) is left alone; the DC's clipping is as before
// afterwards.
void PaintThemedEditFrame(classlib::TCanvas& canvas, const RECT& rect, bool enabled, bool hotTrack,
                          TUiThemeType themeType, bool excludeInner);
// The non-client frame of a list box, on its window DC: the parent's background, then the
// edit frame around the client area.
void PaintListBoxFrame(classlib::TWinControl* listBox, bool hotTrack, TUiThemeType themeType);
// A list item's background. Callers pass a resolved theme type (this painter does not
// resolve). Other than thtThm: a selected item is filled in the highlight colour and the
// canvas font takes the highlight text colour; a focused one gets a focus rectangle. thtThm:
// the canvas brush fills it, and a selected item gets the theme's face and text colour.
void PaintThemedListItem(classlib::TCanvas& canvas, const RECT& rect, bool selected, bool pushed,
                         bool focused, TUiThemeType themeType);
// A status bar's background and, when gripRect is not empty, its size grip. officeStyle
// (thtThm only) is a plain face with a light frame.
void PaintThemedStatusBar(classlib::TCanvas& canvas, const RECT& rect, const RECT& gripRect,
                          bool officeStyle, TUiThemeType themeType);
// The background colours of a window caption (no text, no buttons).
void PaintCaptionBar(classlib::TCanvas& canvas, const RECT& rect, bool active);
// The frame and caption strip of a title bar or floating-style panel, drawn through a bitmap
// of the rectangle's size filled with the canvas brush: the theme's dock background under it
// (dockBackground, not for "Default"), the floating frame's border when the caption is lower
// than the rectangle, and the caption strip (captionWidth x captionHeight at the top left).
void PaintTitleBarFrame(HWND window, classlib::TCanvas& canvas, const RECT& rect, int captionWidth,
                        int captionHeight, bool dockBackground);
// A dockable panel's caption bar, width x height at (x, y).
void PaintPanelCaption(HWND window, classlib::TCanvas& canvas, int x, int y, int width, int height,
                       bool active);
// The parent's background under a control: the parent erases into dc (with the window and
// brush origins moved by the control's position, (x, y) of the control being rect's origin);
// when it does not erase, rect is filled with the parent's colour (unless clNone). Without a
// parent rect is filled with the button face.
void PaintBackgroundFromParent(classlib::TControl* control, HDC dc, const RECT& rect, int x, int y);
// The frame and drop-down button of a combo box or button edit: nothing for thtNone (the
// control's own drawing stays); the visual-style combo-box background and drop-down button
// (buttonWidth wide at the right, none for 0); or the current theme's edit box over the
// toolbar background.
void PaintComboFrame(classlib::TCanvas& canvas, const RECT& rect, bool enabled, int buttonWidth,
                     TUiThemeType themeType, bool pushed, bool hotTrack);
// The two halves of a spin button (upper: Up, lower: Down); pressed 0 none, 1 upper,
// 2 lower; upHot / downHot: the cursor is over that half.
void PaintSpinButtons(classlib::TCanvas& canvas, const RECT& rect, bool enabled, int pressed, bool upHot,
                      bool downHot, TUiThemeType themeType);
// A dotted focus rectangle in black and white; nothing for an empty rectangle.
void PaintFocusRect(classlib::TCanvas& canvas, const RECT& rect);
// A filled triangle of colour `color`: horizontal, it points down from the base
// (x - size, y)..(x + size, y) to (x, y + size); otherwise it points right from the base
// (x, y - size)..(x, y + size) to (x + size, y).
void PaintTriangleArrow(HDC dc, int x, int y, classlib::TColor color, bool horizontal, int size);

}  // namespace ui
