#pragma once
// The caption control of the themed dialogs (TUiTextObject) and the label built on it.
//
// A text object shows a UTF-16 caption with an optional image from an image list, a
// one-pixel glow, a link opened in the shell on click, and custom-draw events around its
// painting. It paints by its ThemeType as ResolveThemeType (uitheme.h) resolves it. A plain
// text object never takes the focus; the button family (uibuttons.h) does.
//
// Links are opened through UiShellOpen, one replaceable function, so that tests can see
// what would be opened without starting anything.
//
// Main thread only.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "classlib/actions.h"
#include "classlib/hintwindow.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmpanels.h"
#include "controls/toolbar/ui/uitypes.h"

namespace ui {

// --- shared event types -------------------------------------------------------------------------

// A custom-draw event: runs before (pstPrePaint) and after (pstPostPaint) the default
// painting; clearing paintDefault at pstPrePaint skips the default painting.
using TUiDrawEvent = std::function<void(classlib::TComponent* sender, classlib::TCanvas& canvas, const RECT& rect,
                                        TUiPaintStage stage, bool& paintDefault)>;
// The same for a caption: the client rectangle, the caption (which the handler may change),
// the caption rectangle and the DrawText flags.
using TUiDrawTextEvent =
    std::function<void(classlib::TComponent* sender, classlib::TCanvas& canvas, const RECT& clientRect,
                       std::wstring& caption, RECT& captionRect, UINT& flags, bool rotated, TUiPaintStage stage,
                       bool& paintDefault)>;
// Draws a hint on the bitmap the hint window will show; clearing paintDefault shows that
// bitmap instead of the standard hint.
using TUiDrawHintEvent = std::function<void(classlib::TComponent* sender, classlib::TBitmap& hintBitmap,
                                            std::wstring& hint, bool& paintDefault)>;
// May supply another image list and index for the caption.
using TUiGetImageIndexEvent =
    std::function<void(classlib::TComponent* sender, classlib::TImageList*& images, int& imageIndex)>;

// The rectangle less the margins on each side.
RECT ShrinkByMargins(RECT rect, const themed::TThmControlMargins& margins);

// --- opening links ------------------------------------------------------------------------------

// Opens `target` with the shell verb "open", `parameters`, no working folder and
// SW_SHOWNORMAL.
using TUiShellOpen = std::function<void(const std::wstring& target, const std::wstring& parameters)>;
void UiShellOpen(const std::wstring& target, const std::wstring& parameters);
// Replaces what UiShellOpen does (null: the shell again); answers the previous function.
TUiShellOpen SetUiShellOpen(TUiShellOpen open);

// --- the text object ----------------------------------------------------------------------------

class TUiTextObject;

// Keeps a text object's Checked and ImageIndex with its action while they match.
class TUiTextObjectActionLink : public classlib::TControlActionLink {
public:
    explicit TUiTextObjectActionLink(TUiTextObject* client);
    bool IsCheckedLinked() override;
    bool IsImageIndexLinked() override;
    void SetChecked(bool value) override;
    void SetImageIndex(int value) override;

private:
    TUiTextObject* FText;
};

class TUiTextObject : public themed::TThmTextObject {
public:
    explicit TUiTextObject(classlib::TComponent* owner);
    ~TUiTextObject() override;

    // The wide caption and hint (the control's own text and hint).
    std::wstring GetCaption();
    // Sets the caption; the control repaints and, with AutoSize, takes the caption's size.
    void SetCaption(const std::wstring& value);
    std::wstring GetHint();
    void SetHint(const std::wstring& value);

    TUiGlowDirection CaptionGlow() const { return FCaptionGlow; }
    void SetCaptionGlow(TUiGlowDirection value);
    classlib::TColor CaptionGlowColor() const { return FCaptionGlowColor; }
    void SetCaptionGlowColor(classlib::TColor value);
    bool Checked() { return GetChecked(); }
    virtual bool GetChecked() { return FChecked; }
    // Stores the value and repaints.
    virtual void SetChecked(bool value);
    // Draws the caption one pixel down and right while pushed.
    bool DrawPushedCaption() const { return FDrawPushedCaption; }
    void SetDrawPushedCaption(bool value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    classlib::TImageList* Images() const { return FImages; }
    void SetImages(classlib::TImageList* value);
    TUiThemeType ThemeType() const { return FThemeType; }
    virtual void SetThemeType(TUiThemeType value);
    // Opened on click when not empty (UiShellOpen).
    std::wstring LinkText;
    std::wstring LinkTextParams;
    // The caption's font while the mouse is over a control with a link (blue, underlined).
    classlib::TFont& LinkFont() { return *FLinkFont; }
    void SetLinkFont(const classlib::TFont& value) { FLinkFont->Assign(value); }

    TUiDrawEvent OnDraw;
    TUiDrawTextEvent OnDrawCaption;
    TUiDrawHintEvent OnDrawHint;
    TUiGetImageIndexEvent OnGetImageIndex;

    // A plain text object never takes the focus.
    bool CanFocus() override { return false; }
    void Click() override;
    void ActionChange(classlib::TBasicAction* sender, bool checkDefaults) override;

    // The union of image and caption as laid out in the client area (less the margins);
    // with AutoSize widened and heightened by the margins.
    virtual void CalcCaptionBounds(RECT& bounds, RECT& captionRect, RECT& glyphRect);
    // Opens LinkText when there is one.
    virtual void ExecuteLink();

protected:
    friend class TUiTextObjectActionLink;
    // Fires OnDraw; answers whether the default painting runs.
    virtual bool DoDraw(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage);
    virtual void DoDrawHint(classlib::TBitmap& hintBitmap, std::wstring& hint, bool& paintDefault);
    // Fires OnGetImageIndex.
    virtual void DoGetImageIndex(classlib::TImageList*& images, int& imageIndex);
    // The caption rectangle grown by 1, or empty without a caption.
    virtual void GetFocusRect(const RECT& clientRect, RECT& focusRect, const RECT& captionRect,
                              const RECT& glyphRect);
    // The control has the focus.
    virtual bool ShowFocus() { return Focused(); }
    // Pushed and hot.
    virtual bool IsPushed() { return Pushed() && MouseInside(); }
    // A disabled control draws its image through the current theme (cleared by glyphs that
    // already show the disabled look).
    bool FThemedDisabledImage = true;

    // The text flags of the caption, mirrored for right-to-left.
    UINT CaptionFlags();
    // The caption's font: the link font while the mouse is over a control with a link.
    void DoAdjustFont(classlib::TFont& font) override;
    void CalcAutoHeight(classlib::TCanvas& canvas, int& height) override;
    int DoDrawText(classlib::TCanvas& canvas, RECT& rect, UINT flags) override;
    void GetTextMargins(RECT& margins) override { margins = {}; }
    void Paint() override;
    void DoMouseEnter() override;
    void DoMouseLeave() override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void WMSetCursor(classlib::TMessage& message) override;
    void WMEraseBkgnd(classlib::TMessage& message) override;
    void CMHintShow(classlib::TMessage& message) override;
    std::unique_ptr<classlib::TControlActionLink> CreateActionLink() override;

private:
    void ImagesChanged();

    TUiGlowDirection FCaptionGlow = gldNone;
    classlib::TColor FCaptionGlowColor = 0xFFFF;
    bool FChecked = false;
    bool FDrawPushedCaption = false;
    classlib::TChangeLink FImageChangeLink;
    int FImageIndex = -1;
    classlib::TComponentRef<classlib::TImageList> FImages;
    TUiThemeType FThemeType = thtThm;
    std::unique_ptr<classlib::TFont> FLinkFont;
};

// --- the label ----------------------------------------------------------------------------------

class TUiLabel : public TUiTextObject {
public:
    explicit TUiLabel(classlib::TComponent* owner);

    // Takes the focus when the caption's accelerator is typed.
    classlib::TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(classlib::TWinControl* value) { FFocusControl = value; }
    // A line along the bottom in UnderlineColor.
    bool Underline() const { return FUnderline; }
    void SetUnderline(bool value);
    classlib::TColor UnderlineColor() const { return FUnderlineColor; }
    void SetUnderlineColor(classlib::TColor value);

    void CalcCaptionBounds(RECT& bounds, RECT& captionRect, RECT& glyphRect) override;

protected:
    bool DoDraw(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage) override;
    void CMDialogChar(classlib::TMessage& message) override;

private:
    classlib::TComponentRef<classlib::TWinControl> FFocusControl;
    bool FUnderline = false;
    classlib::TColor FUnderlineColor = classlib::clBtnShadow;
};

}  // namespace ui
