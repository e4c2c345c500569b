#include "controls/toolbar/ui/uicaptions.h"

#include <shellapi.h>

#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "classlib/screen.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/themed/thmitemstate.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/ui/uihint.h"
#include "controls/toolbar/ui/uipaint.h"
#include "controls/toolbar/ui/uitext.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uiwindows.h"
#include "controls/wide/widecontrols.h"
#include "controls/wide/widelabel.h"

namespace ui {

using namespace classlib;

// --- opening links ------------------------------------------------------------------------------

namespace {

TUiShellOpen& ShellOpenFunction() {
    static TUiShellOpen open;
    return open;
}

RECT Shrunk(RECT r, const RECT& m) {
    r.left += m.left;
    r.top += m.top;
    r.right -= m.right;
    r.bottom -= m.bottom;
    return r;
}

}  // namespace

RECT ShrinkByMargins(RECT r, const themed::TThmControlMargins& m) {
    r.left += m.Left();
    r.top += m.Top();
    r.right -= m.Right();
    r.bottom -= m.Bottom();
    return r;
}

void UiShellOpen(const std::wstring& target, const std::wstring& parameters) {
    if (const TUiShellOpen& open = ShellOpenFunction()) {
        open(target, parameters);
        return;
    }
    ShellExecuteW(nullptr, L"open", target.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                  SW_SHOWNORMAL);
}

TUiShellOpen SetUiShellOpen(TUiShellOpen open) {
    TUiShellOpen previous = std::move(ShellOpenFunction());
    ShellOpenFunction() = std::move(open);
    return previous;
}

// --- the action link ----------------------------------------------------------------------------

TUiTextObjectActionLink::TUiTextObjectActionLink(TUiTextObject* client) : TControlActionLink(client), FText(client) {}

bool TUiTextObjectActionLink::IsCheckedLinked() {
    auto* a = dynamic_cast<TCustomAction*>(Action());
    return a && FText->GetChecked() == a->Checked();
}

bool TUiTextObjectActionLink::IsImageIndexLinked() {
    auto* a = dynamic_cast<TCustomAction*>(Action());
    return a && FText->ImageIndex() == a->ImageIndex();
}

void TUiTextObjectActionLink::SetChecked(bool value) {
    if (IsCheckedLinked()) FText->SetChecked(value);
}

void TUiTextObjectActionLink::SetImageIndex(int value) {
    if (IsImageIndexLinked()) FText->SetImageIndex(value);
}

// --- the text object: life and properties -------------------------------------------------------

TUiTextObject::TUiTextObject(TComponent* owner)
    : TThmTextObject(owner), FImages([this] { ImagesChanged(); }), FLinkFont(std::make_unique<TFont>()) {
    FControlStyle = (FControlStyle & ~csAcceptsControls) | csDoubleClicks;
    SetTabStop(true);
    SetFocusWithinParent(true);
    SetSpaceClick(true);
    FLinkFont->SetColor(0xFF0000);
    FLinkFont->SetStyle(fsUnderline);
    FImageChangeLink.OnChange = [this](TImageList*) { ImagesChanged(); };
}

TUiTextObject::~TUiTextObject() {
    if (FImages) FImages->UnRegisterChanges(&FImageChangeLink);
}

std::wstring TUiTextObject::GetCaption() { return wide::GetWideControlText(this); }

void TUiTextObject::SetCaption(const std::wstring& value) { wide::SetWideControlText(this, value); }

std::wstring TUiTextObject::GetHint() { return wide::GetWideControlHint(this); }

void TUiTextObject::SetHint(const std::wstring& value) { wide::SetWideControlHint(this, value); }

void TUiTextObject::SetCaptionGlow(TUiGlowDirection value) {
    if (value == FCaptionGlow) return;
    FCaptionGlow = value;
    Invalidate();
}

void TUiTextObject::SetCaptionGlowColor(TColor value) {
    if (value == FCaptionGlowColor) return;
    FCaptionGlowColor = value;
    Invalidate();
}

void TUiTextObject::SetDrawPushedCaption(bool value) {
    if (value == FDrawPushedCaption) return;
    FDrawPushedCaption = value;
    Invalidate();
}

void TUiTextObject::SetThemeType(TUiThemeType value) {
    if (value == FThemeType) return;
    FThemeType = value;
    Invalidate();
}

void TUiTextObject::SetChecked(bool value) {
    if (value == FChecked) return;
    FChecked = value;
    Invalidate();
}

void TUiTextObject::SetImageIndex(int value) {
    if (value == FImageIndex) return;
    FImageIndex = value;
    if (FImages) Invalidate();
    AdjustHeight();
}

void TUiTextObject::SetImages(TImageList* value) {
    if (value == FImages.Get()) return;
    if (FImages) FImages->UnRegisterChanges(&FImageChangeLink);
    FImages = value;
    if (value) value->RegisterChanges(&FImageChangeLink);
    ImagesChanged();
}

// A new, changed or freed image list: repaint and measure again.
void TUiTextObject::ImagesChanged() {
    if (ComponentState() & csDestroying) return;
    Invalidate();
    AdjustHeight();
}

std::unique_ptr<TControlActionLink> TUiTextObject::CreateActionLink() {
    return std::make_unique<TUiTextObjectActionLink>(this);
}

void TUiTextObject::ActionChange(TBasicAction* sender, bool checkDefaults) {
    TThmTextObject::ActionChange(sender, checkDefaults);
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (!action) return;
    if (!checkDefaults || !GetChecked()) SetChecked(action->Checked());
    if (!checkDefaults || FImageIndex == -1) SetImageIndex(action->ImageIndex());
}

// --- the text object: caption ---------------------------------------------------------------

UINT TUiTextObject::CaptionFlags() {
    return themed::TextObjectFlags(GetTextAlignment(), Wrapping(), ShowAccelChar()) | DT_EXPANDTABS;
}

void TUiTextObject::DoAdjustFont(TFont& font) {
    if (!LinkText.empty() && MouseInside()) font.Assign(*FLinkFont);
}

void TUiTextObject::DoGetImageIndex(TImageList*& images, int& imageIndex) {
    if (OnGetImageIndex) OnGetImageIndex(this, images, imageIndex);
}

bool TUiTextObject::DoDraw(TCanvas& canvas, const RECT& rect, TUiPaintStage stage) {
    bool paintDefault = true;
    if (OnDraw) OnDraw(this, canvas, rect, stage, paintDefault);
    return paintDefault;
}

void TUiTextObject::DoDrawHint(TBitmap& hintBitmap, std::wstring& hint, bool& paintDefault) {
    if (OnDrawHint) OnDrawHint(this, hintBitmap, hint, paintDefault);
}

void TUiTextObject::GetFocusRect(const RECT&, RECT& focusRect, const RECT& captionRect, const RECT&) {
    focusRect = {};
    if (IsRectEmpty(&captionRect)) return;
    focusRect = captionRect;
    InflateRect(&focusRect, 1, 1);
}

void TUiTextObject::CalcCaptionBounds(RECT& bounds, RECT& captionRect, RECT& glyphRect) {
    RECT textMargins{};
    GetTextMargins(textMargins);
    const RECT area = Shrunk(ShrinkByMargins(ClientRect(), Margins()), textMargins);
    TCanvas& canvas = themed::NearestColorBitmap().Canvas();
    canvas.Font().Assign(Font());
    DoAdjustFont(canvas.Font());
    TImageList* images = FImages;
    int index = FImageIndex;
    DoGetImageIndex(images, index);
    std::wstring caption = GetCaption();
    if (caption.empty()) caption = L" ";
    captionRect = {};
    glyphRect = {};
    DrawImageAndText(canvas, area, caption, static_cast<wide::TAlignment>(GetTextAlignment()), CaptionFlags(), images,
                     index, false, false, captionRect, glyphRect, 0, true, clNone, gldNone, false, true);
    UnionRect(&bounds, &captionRect, &glyphRect);
    if (AutoSize()) {
        bounds.right += Margins().Left() + Margins().Right() + textMargins.left + textMargins.right;
        bounds.bottom += Margins().Top() + Margins().Bottom() + textMargins.top + textMargins.bottom;
    }
}

// The height of image and caption; a caption on one line also gives the width.
void TUiTextObject::CalcAutoHeight(TCanvas&, int& height) {
    RECT bounds{}, caption{}, glyph{};
    CalcCaptionBounds(bounds, caption, glyph);
    height = bounds.bottom - bounds.top;
    if (Wrapping() == themed::twNone && HandleAllocated()) {
        const int width = bounds.right - bounds.left;
        if (width != Width()) SetWidth(width);
    }
}

int TUiTextObject::DoDrawText(TCanvas& canvas, RECT& rect, UINT flags) {
    std::wstring caption = GetCaption();
    if (flags & DT_CALCRECT) {
        if (caption.empty() || caption == L"&") caption += L" ";
        return DrawWideText(canvas, caption, rect, flags & ~DT_VCENTER);
    }
    canvas.Brush().SetStyle(bsClear);
    auto solid = ScopeExit([&canvas] { canvas.Brush().SetStyle(bsSolid); });
    const RECT client = ClientRect();
    RECT captionRect = rect;
    bool paintDefault = true;
    if (OnDrawCaption) OnDrawCaption(this, canvas, client, caption, captionRect, flags, false, pstPrePaint, paintDefault);
    RECT textRect{}, glyphRect{};
    int height = 0;
    if (paintDefault) {
        TImageList* images = FImages;
        int index = FImageIndex;
        DoGetImageIndex(images, index);
        const auto alignment = static_cast<wide::TAlignment>(GetTextAlignment());
        const bool pushed = FDrawPushedCaption && IsPushed();
        if (Enabled()) {
            height = DrawImageAndText(canvas, captionRect, caption, alignment, flags, images, index, false, pushed,
                                      textRect, glyphRect, 0, false, FCaptionGlowColor, FCaptionGlow, false, true);
        } else {
            if (ResolveThemeType(FThemeType) == thtNone) {
                // Embossed: the caption once in the highlight colour, one pixel down and right.
                RECT t{}, g{};
                const bool hasImage = images && index >= 0 && index < images->Count();
                LayoutGlyphAndText(canvas, captionRect, caption, alignment, flags, hasImage ? images->Width() : 0,
                                   hasImage ? images->Height() : 0, false, pushed, t, g);
                OffsetRect(&t, 1, 1);
                canvas.Font().SetColor(clBtnHighlight);
                if (!caption.empty()) DrawWideText(canvas, caption, t, flags & ~(DT_VCENTER | DT_CENTER | DT_RIGHT));
            }
            canvas.Font().SetColor(clBtnShadow);
            height = DrawImageAndText(canvas, captionRect, caption, alignment, flags, images, index, false, pushed,
                                      textRect, glyphRect, 0, false, clNone, gldNone, FThemedDisabledImage,
                                      !FThemedDisabledImage, themed::dstDisabled);
        }
    }
    paintDefault = true;
    if (OnDrawCaption) OnDrawCaption(this, canvas, client, caption, captionRect, flags, false, pstPostPaint, paintDefault);
    if (paintDefault && ShowFocus()) {
        RECT focus{};
        GetFocusRect(ShrinkByMargins(client, Margins()), focus, caption.empty() ? RECT{} : textRect, glyphRect);
        PaintFocusRect(canvas, focus);
    }
    return height;
}

void TUiTextObject::Paint() {
    TCanvas& canvas = Canvas();
    const RECT r = ShrinkByMargins(ClientRect(), Margins());
    canvas.Font().Assign(Font());
    DoAdjustFont(canvas.Font());
    DoDraw(canvas, r, pstPrePaint);
    RECT textMargins{};
    GetTextMargins(textMargins);
    RECT text = Shrunk(r, textMargins);
    DoDrawText(canvas, text, CaptionFlags());
    DoDraw(canvas, r, pstPostPaint);
}

// --- the text object: mouse, keys and click -----------------------------------------------------

void TUiTextObject::DoMouseEnter() {
    TThmTextObject::DoMouseEnter();
    Invalidate();
}

void TUiTextObject::DoMouseLeave() {
    TThmTextObject::DoMouseLeave();
    Invalidate();
}

void TUiTextObject::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TThmTextObject::MouseDown(button, shift, x, y);
    if (FocusWithinParent() && CanFocus() && !Focused()) SetFocus();
}

void TUiTextObject::Click() {
    if (ComponentState() & csLoading) return;
    Invalidate();
    TThmTextObject::Click();
    ExecuteLink();
}

void TUiTextObject::ExecuteLink() {
    if (!LinkText.empty()) UiShellOpen(LinkText, LinkTextParams);
}

void TUiTextObject::WMSetCursor(TMessage& message) {
    if (!LinkText.empty() && MouseInside() && Screen->Cursor() == crDefault) {
        HCURSOR hand = UiResources().HandCursor();
        ::SetCursor(hand ? hand : Screen->Cursors(Cursor()));
        message.Result = 1;
        return;
    }
    TThmTextObject::WMSetCursor(message);
}

void TUiTextObject::WMEraseBkgnd(TMessage& message) {
    message.Result = 1;
    const bool fromBufferedPaint = message.WParam == static_cast<WPARAM>(message.LParam);
    if (DoubleBuffered && !fromBufferedPaint) return;
    const HDC dc = reinterpret_cast<HDC>(message.WParam);
    const RECT r = ClientRect();
    if (Color() == clNone)
        PaintBackgroundFromParent(this, dc, r, 0, 0);
    else
        themed::PaintRectFill(dc, r, Color());
}

void TUiTextObject::CMHintShow(TMessage& message) {
    auto* info = reinterpret_cast<THintInfo*>(message.LParam);
    if (!OnDrawHint || !info) {
        TThmTextObject::CMHintShow(message);
        return;
    }
    TBitmap& bitmap = UiHintBitmap();
    TCanvas& canvas = bitmap.Canvas();
    canvas.Lock();
    auto unlock = ScopeExit([&canvas] { canvas.Unlock(); });
    canvas.Font().Assign(Font());
    canvas.Font().SetColor(clInfoText);
    canvas.Pen().SetColor(clBlack);
    canvas.Brush().SetColor(clInfoBk);
    std::wstring hint = info->HintStr;
    RECT measured{0, 0, 0, 0};
    DrawWideText(canvas, hint, measured, DT_CALCRECT | DT_NOPREFIX);
    bitmap.SetSize(measured.right - measured.left + 8, measured.bottom - measured.top + 4);
    // The standard look first, so that the handler may draw over it.
    const RECT all{0, 0, bitmap.Width(), bitmap.Height()};
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(all);
    RECT text = all;
    OffsetRect(&text, -2, 0);
    DrawWideText(canvas, hint, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    bool paintDefault = true;
    DoDrawHint(bitmap, hint, paintDefault);
    if (paintDefault) {
        TThmTextObject::CMHintShow(message);
        return;
    }
    info->HintWindowClass = [] { return new TBitmapHint(nullptr); };
    info->HintData = &bitmap;
    info->CursorRect = ClientRect();
    info->HintStr = hint;
}

// --- the label ----------------------------------------------------------------------------------

TUiLabel::TUiLabel(TComponent* owner) : TUiTextObject(owner) { SetTabStop(false); }

void TUiLabel::SetUnderline(bool value) {
    if (value == FUnderline) return;
    FUnderline = value;
    Invalidate();
    AdjustHeight();
}

void TUiLabel::SetUnderlineColor(TColor value) {
    if (value == FUnderlineColor) return;
    FUnderlineColor = value;
    Invalidate();
}

bool TUiLabel::DoDraw(TCanvas& canvas, const RECT& rect, TUiPaintStage stage) {
    const bool paintDefault = TUiTextObject::DoDraw(canvas, rect, stage);
    if (paintDefault && stage == pstPrePaint && FUnderline) {
        const TColor old = canvas.Pen().Color();
        canvas.Pen().SetColor(FUnderlineColor);
        canvas.MoveTo(rect.left, rect.bottom - 1);
        canvas.LineTo(rect.right, rect.bottom - 1);
        canvas.Pen().SetColor(old);
    }
    return paintDefault;
}

void TUiLabel::CalcCaptionBounds(RECT& bounds, RECT& captionRect, RECT& glyphRect) {
    TUiTextObject::CalcCaptionBounds(bounds, captionRect, glyphRect);
    if (FUnderline) ++bounds.bottom;
}

void TUiLabel::CMDialogChar(TMessage& message) {
    if (FFocusControl && ShowAccelChar() && wide::IsWideCharAccel(static_cast<wchar_t>(message.WParam), GetCaption()) &&
        CanFocusControl(FFocusControl)) {
        FFocusControl->SetFocus();
        message.Result = 1;
        return;
    }
    TUiTextObject::CMDialogChar(message);
}

}  // namespace ui
