#pragma once
// The theme contract: the abstract theme every menu, toolbar, dock, panel and themed control
// is painted by, the plain records callers describe what is to be painted with, the view-kind
// bits, and the calls by which the theme layer tells its parts about changes.
//
// Colours follow thmutils.h: clNone (0x1FFFFFFF) from a colour question tells the caller to
// paint nothing or fall back. Record arguments are passed by reference and a theme never
// changes them. Callers zero-fill each record (value-initialise it) before setting fields; a
// field without a value stays zero.
//
// Everything the layer tells its parts stays inside the process and is a virtual call on an
// interface below (theme notices, theme changes, view kinds, effective colours): no window
// message, so nothing another process sends can reach these handlers.
//
// Main thread only.

#include <windows.h>

#include <string>

#include "classlib/graphics.h"

namespace classlib {
class TCanvas;
class TImageList;
class TControl;
class TWinControl;
class TComponent;
}

namespace themed {

// --- notices ----------------------------------------------------------------------------------
//
// The theme manager's notices to the themes and the theme nexus (HandleThemeNotice), and the
// nexus's changes to the theme clients (HandleThemeChange) share these numbers.

constexpr int tnBeginChange = 1;     // before a change of system colours, display or style
constexpr int tnRebuildColors = 2;   // colours must be read again
constexpr int tnEndChange = 3;       // after the change: lay out and repaint
constexpr int tnAppActivated = 4;
constexpr int tnAppDeactivated = 5;

// --- view kinds ---------------------------------------------------------------------------------
//
// A test for a sub-kind is a mask test of the whole value: (kind & vkPopupMenu) == vkPopupMenu.

constexpr int vkToolbar = 0x1000;
constexpr int vkToolbarBar = 0x1001;   // a toolbar
constexpr int vkMenuBar = 0x1002;
constexpr int vkToolWindow = 0x1004;
constexpr int vkPopup = 0x2000;
constexpr int vkPopupMenu = 0x2001;    // also the popup-menu component itself
constexpr int vkListPopup = 0x2002;    // list-like popup painted in the window colour
constexpr int vkToolBoxPopup = 0x2004;
constexpr int vkChevronPopup = 0x2008;
constexpr int vkDockPanel = 0x4000;
constexpr int vkDockPanelDocked = 0x4001;
constexpr int vkDockPanelFloating = 0x4801;
constexpr int vkStatusBar = 0x10000;
constexpr int vkFloating = 0x800;
constexpr int vkResizable = 0x400;
constexpr int vkOpaqueItems = 0x200;

// True when every bit of `mask` is set in `kind`.
constexpr bool ViewKindIs(int kind, int mask) { return (kind & mask) == mask; }

// --- item state ---------------------------------------------------------------------------------

// ItemFlags bits.
constexpr int ifToolbarStyle = 0x01;
constexpr int ifSubmenu = 0x04;
constexpr int ifSplitItem = 0x08;
constexpr int ifDesigning = 0x10;  // the view is being customised
constexpr int ifAppActive = 0x20;
constexpr int ifRadioItem = 0x40;  // set only for the check-glyph call

// HotState values.
constexpr BYTE hsNone = 0;
constexpr BYTE hsKeyboardSelected = 1;  // selected, disabled, not under the mouse
constexpr BYTE hsSelected = 2;

// SplitPart values.
constexpr BYTE spPlain = 0;
constexpr BYTE spWithArrow = 1;
constexpr BYTE spSplitButton = 2;
constexpr BYTE spSplitArrow = 3;

struct TThmItemInfo {
    int ViewKind;
    int ItemFlags;
    bool Enabled;
    bool Pushed;
    BYTE HotState;
    bool Checked;
    bool ImageShown;
    int ImageWidth, ImageHeight;
    bool Vertical;
    BYTE SplitPart;
    bool PopupOpen;
    int ImageColumnWidth;
    // The item's view is a vertical toolbar. Unlike Vertical, also set for split items, whose
    // parts are laid out as on a horizontal bar; themes that shade buttons along the bar read it.
    bool ViewVertical;
};

// Left width, right width, top height, bottom height.
struct TThmMargins {
    int LeftWidth, RightWidth, TopHeight, BottomHeight;
};

// GetMarginSet kinds.
constexpr int mkToolbarButton = 1;
constexpr int mkPopupItem = 2;
constexpr int mkEditBox = 3;

struct TThmEditButtonInfo {
    int ButtonKind;   // 1 drop-down button, 2 spin pair
    int ButtonState;  // 1 disabled, 2 hot, 4 pressed (spin: 4 upper half, 8 lower half pressed)
};

struct TThmEditBoxInfo {
    int LeftButtonWidth, RightButtonWidth;  // 0 without a button
    TThmEditButtonInfo LeftButton, RightButton;
};

// Drag handle styles.
constexpr int dhDouble = 0;
constexpr int dhNone = 1;
constexpr int dhSingle = 2;

// CloseButtonState bits.
constexpr int cbsShown = 1;
constexpr int cbsHot = 2;
constexpr int cbsPressed = 4;

// The non-client area of a docked toolbar or tool window.
struct TThmToolbarFrameInfo {
    HWND WindowHandle;
    int ViewKind;
    bool Vertical;      // docked at the left or right edge
    bool AllowDrag;
    BYTE BorderStyle;   // 0 none, 1 single
    POINT BorderSize;   // GetViewBorderSize for ViewKind
    int ClientWidth, ClientHeight;
    int DragHandleStyle;
    int CloseButtonState;
    classlib::TColor EffectiveColor;
};

// The non-client area of a docked dockable panel.
struct TThmDockPanelFrameInfo {
    HWND WindowHandle;
    int ViewKind;
    bool CaptionHorizontal;  // the caption bar runs across the top (else down the left edge)
    bool AllowDrag;
    BYTE BorderStyle;
    POINT BorderSize;
    int ClientWidth, ClientHeight;
    bool CaptionShown;
    int CloseButtonState;  // set only when the caption bar and the close button are shown
    // The caption text, valid for the call, or null: the bar and close button are painted
    // without text.
    const wchar_t* Caption;
    classlib::TColor EffectiveColor;
};

// RedrawParts bits of a floating frame.
constexpr int rpBorder = 1;
constexpr int rpCaption = 2;
constexpr int rpCloseButton = 4;

// The frame of a floating toolbar, tool window or panel.
struct TThmFloatingFrameInfo {
    HWND WindowHandle;  // the floating host window
    HWND ClientHandle;  // the toolbar or panel it hosts
    int ViewKind;
    int ClientWidth, ClientHeight;
    bool CaptionShown;
    POINT BorderSize;
    int CloseButtonState;
    int RedrawParts;
    // The caption text, valid for the call. UTF-16 here: every window of this program is a
    // Unicode window.
    const wchar_t* Caption;
    classlib::TColor EffectiveColor;
    bool Active;
};

// The border of a popup window.
struct TThmPopupFrameInfo {
    HWND WindowHandle;
    int ViewKind;
    RECT ParentRect;  // the opener item in the popup's coordinates; empty when none
    POINT BorderSize;
};

// --- metric indexes -------------------------------------------------------------------------------

constexpr int tmSplitArrowWidth = 10;      // arrow part of a split item on a toolbar
constexpr int tmDropArrowWidth = 20;       // drop-down arrow area of an item with an arrow
constexpr int tmDropArrowMargin = 21;      // between the arrow area and the item edge
constexpr int tmMenuImageGap = 32;         // popup item: before the image column
constexpr int tmMenuCaptionGap = 33;       // popup item: between image column and caption
constexpr int tmMenuCaptionEndGap = 34;    // popup item: after the caption
constexpr int tmMenuSeparatorSize = 35;
constexpr int tmMDIButtonNarrower = 36;    // than SM_CXMENUSIZE
constexpr int tmMDIButtonLower = 37;       // than SM_CYMENUSIZE
constexpr int tmToolbarSeparatorSize = 50;
constexpr int tmEditFrameInset = 60;
// Sizes every theme answers by its look although no control of this program asks for them;
// the themes keep their answers so that the look stays whole.
constexpr int tmSpareSize61 = 61;
constexpr int tmSpareSize62 = 62;
constexpr int tmSpareSize65 = 65;
constexpr int tmSpareSize66 = 66;
constexpr int tbPopupOverlapsOpener = 1;   // a drop-down popup sits one pixel into its opener
constexpr int tbPaintDockBackground = 5;
constexpr int tbSolidToolbarNCArea = 6;
constexpr int tbSolidToolbarClientArea = 7;

// --- the theme --------------------------------------------------------------------------------

// Receives the theme manager's notices (the themes and the theme nexus).
class TThmNoticeListener {
public:
    virtual ~TThmNoticeListener() = default;
    // One of the tn* numbers.
    virtual void HandleThemeNotice(int notice) = 0;
};

// The abstract theme. Instances are created only by the theme registry (thmregistry.h), which
// shares one instance per registered name, in two steps: the constructor stores the name, and
// Init, run once the object is complete, adds the theme as a theme-manager listener and fills
// its colours. A constructor cannot do the second step: the colour cache belongs to the most
// derived theme, and its RebuildColorCache may use resources its own constructor makes.
class TThmTheme : public TThmNoticeListener {
public:
    explicit TThmTheme(std::wstring name) : Name(std::move(name)) {}
    // Removes the theme from the theme manager's listeners when Init added it.
    ~TThmTheme() override;
    TThmTheme(const TThmTheme&) = delete;
    TThmTheme& operator=(const TThmTheme&) = delete;

    // The second step of construction (the registry runs it once).
    void Init();

    // The registered spelling of the theme's name.
    const std::wstring Name;

    // tnRebuildColors runs RebuildColorCache again; the other notices are ignored.
    void HandleThemeNotice(int notice) override;
    // Fills the theme's own colour fields from the system state.
    virtual void RebuildColorCache() = 0;

    virtual POINT GetItemImageShift(classlib::TCanvas& canvas, const TThmItemInfo& item,
                                    classlib::TImageList* images) = 0;
    virtual classlib::TColor GetItemFillColor(const TThmItemInfo& item) = 0;
    virtual classlib::TColor GetItemTextColor(const TThmItemInfo& item) = 0;
    virtual classlib::TColor GetItemImageBackColor(const TThmItemInfo& item) = 0;
    virtual void GetMarginSet(int kind, TThmMargins& margins) = 0;
    // 1 the system's class shadow, 2 own shadow windows leaving out the opener item, 3 own
    // shadow windows without that gap.
    virtual int GetShadowKind() = 0;
    virtual void GetViewBorderSize(int viewKind, POINT& size) = 0;
    virtual classlib::TColor GetViewFillColor(int viewKind) = 0;
    virtual void GetViewPadding(int viewKind, TThmMargins& padding) = 0;
    virtual void PaintViewBackground(classlib::TCanvas& canvas, const RECT& outerRect,
                                     const RECT& paintRect, const RECT& clipRect,
                                     classlib::TColor color, bool transparent, int viewKind) = 0;
    virtual void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect,
                                 const TThmItemInfo& item) = 0;
    // Draws in the canvas font; a font colour of clNone means GetItemTextColor.
    virtual void PaintItemCaption(classlib::TCanvas& canvas, const RECT& rect,
                                  const TThmItemInfo& item, const std::wstring& caption,
                                  UINT format, bool rotated) = 0;
    virtual void PaintCheckGlyph(classlib::TCanvas& canvas, const RECT& rect,
                                 const TThmItemInfo& item) = 0;
    virtual void PaintChevronButton(classlib::TCanvas& canvas, const RECT& rect,
                                    const TThmItemInfo& item) = 0;
    virtual void PaintEditBox(classlib::TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                              const TThmEditBoxInfo& editBox) = 0;
    virtual void PaintEditBoxButton(classlib::TCanvas& canvas, const RECT& rect,
                                    const TThmItemInfo& item, const TThmEditButtonInfo& button) = 0;
    // dockPosition: 1 top, 2 bottom, 3 left, 4 right.
    virtual void PaintDockBackground(classlib::TCanvas& canvas, const RECT& clientRect,
                                     const RECT& paintRect, int dockPosition) = 0;
    virtual void PaintDockPanelFrame(classlib::TCanvas& canvas, const RECT& rect,
                                     const TThmDockPanelFrameInfo& frame) = 0;
    virtual void PaintDropArrow(classlib::TCanvas& canvas, const RECT& rect,
                                const TThmItemInfo& item) = 0;
    // Only the parts named in RedrawParts; the canvas brush holds the effective colour.
    virtual void PaintFloatingFrame(classlib::TCanvas& canvas, const RECT& rect,
                                    const TThmFloatingFrameInfo& frame) = 0;
    virtual void PaintItemFrame(classlib::TCanvas& canvas, const RECT& rect,
                                const TThmItemInfo& item) = 0;
    virtual void PaintItemImage(classlib::TCanvas& canvas, const RECT& rect,
                                const TThmItemInfo& item, classlib::TImageList* images,
                                int imageIndex) = 0;
    // buttonKind: 0 close, 1 minimise, 2 maximise, 3 restore.
    virtual void PaintMDICaptionButton(classlib::TCanvas& canvas, const RECT& rect,
                                       const TThmItemInfo& item, int buttonKind) = 0;
    virtual void PaintPopupItem(classlib::TCanvas& canvas, const RECT& rect,
                                const TThmItemInfo& item) = 0;
    virtual void PaintPopupItemFrame(classlib::TCanvas& canvas, const RECT& rect,
                                     const TThmItemInfo& item) = 0;
    // direction 1..4.
    virtual void PaintScrollArrowButton(classlib::TCanvas& canvas, const RECT& rect, int direction,
                                        bool hot) = 0;
    virtual void PaintPopupFrame(classlib::TCanvas& canvas, const RECT& rect,
                                 const TThmPopupFrameInfo& frame) = 0;
    virtual void PaintItemSeparator(classlib::TCanvas& canvas, const RECT& rect,
                                    const TThmItemInfo& item, bool horizontal,
                                    bool lineSeparator) = 0;
    // The canvas brush holds the background.
    virtual void PaintToolbarFrame(classlib::TCanvas& canvas, const RECT& rect,
                                   const TThmToolbarFrameInfo& frame) = 0;
    // controlKind 1 check box, 2 radio button; state bits 1 checked, 2 grey, 4 disabled, 8 hot,
    // 0x10 pressed; reserved is 0.
    virtual void PaintCheckControl(classlib::TCanvas& canvas, const RECT& rect, int controlKind,
                                   int state, int reserved) = 0;
    // part: 0 background, 1 a panel, 2 the panel beside the size grip, 3 the size grip.
    virtual void PaintStatusBarPart(classlib::TCanvas& canvas, const RECT& rect, int part) = 0;
    // -1 for an index the theme does not know.
    virtual int GetIntMetric(int index) = 0;
    // false for an index the theme does not know.
    virtual bool GetBoolMetric(int index) = 0;

private:
    bool FListening = false;
};

// --- questions to the windows that show views ---------------------------------------------------

// A window or component that hosts a view (toolbars, tool windows, popup windows and menus,
// dockable panels, themed status bars) answers its view kind.
class TThmViewHost {
public:
    virtual int ThemeViewKind() = 0;

protected:
    ~TThmViewHost() = default;
};

// Docks, toolbars, tool windows and panels answer their effective background colour.
class TThmColorHost {
public:
    virtual classlib::TColor ThemeEffectiveColor() = 0;

protected:
    ~TThmColorHost() = default;
};

// The effective background colour of a control: its TThmColorHost answer when it is one, else
// its Color; the button face for an MDI frame form or no control.
classlib::TColor GetEffectiveColor(classlib::TControl* control);
// The view kind a component answers as a TThmViewHost (0 for none or another component).
int GetViewType(classlib::TComponent* component);
// Hands `color` (a container's effective colour) to each child control of `parent` as its
// parent's colour (CM_PARENTCOLORCHANGED with WParam 1).
void BroadcastEffectiveColor(classlib::TWinControl* parent, classlib::TColor color);

}  // namespace themed
