#include "controls/toolbar/ui/uibuttons.h"

#include <vector>

#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmpopup.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/ui/uipaint.h"
#include "controls/toolbar/ui/uitext.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "controls/wide/widelabel.h"

namespace ui {

using namespace classlib;

namespace {

constexpr int GlyphSize = 13;
constexpr unsigned FirstRepeatDelay = 400;
constexpr unsigned RepeatInterval = 100;

}  // namespace

void DropPendingClicks(HWND window) {
    std::vector<MSG> others;
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    // Everything is taken out first and posted again afterwards, so that the loop ends.
    while (PeekMessageW(&msg, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            quitCode = msg.wParam;
            continue;
        }
        const bool press = msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK ||
                           msg.message == WM_RBUTTONDOWN || msg.message == WM_RBUTTONDBLCLK ||
                           msg.message == WM_MBUTTONDOWN || msg.message == WM_MBUTTONDBLCLK;
        if (press && msg.hwnd == window) continue;
        others.push_back(msg);
    }
    for (const MSG& m : others) PostMessageW(m.hwnd, m.message, m.wParam, m.lParam);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

// --- the button control -------------------------------------------------------------------------

TUiButtonControl::TUiButtonControl(TComponent* owner) : TUiTextObject(owner) { FControlStyle &= ~csDoubleClicks; }

void TUiButtonControl::SetGroupIndex(int value) {
    if (value == FGroupIndex) return;
    FGroupIndex = value;
    NotifyGroup();
}

void TUiButtonControl::SetChecked(bool value) {
    if (value == TUiTextObject::GetChecked()) return;
    TUiTextObject::SetChecked(value);
    if (value) NotifyGroup();
}

void TUiButtonControl::NotifyGroup() {
    TWinControl* parent = Parent();
    if (FGroupIndex == -1 || !parent) return;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* button = dynamic_cast<TUiButtonControl*>(parent->Controls(i))) button->GroupChecked(FGroupIndex, this);
}

void TUiButtonControl::GroupChecked(int groupIndex, TUiButtonControl* sender) {
    if (groupIndex != FGroupIndex || sender == this || typeid(*sender) != typeid(*this)) return;
    if (sender->Checked() && Checked()) SetChecked(false);
}

bool TUiButtonControl::CanFocus() {
    TForm* form = GetParentForm(this);
    if (!form || !form->Visible() || !form->Enabled()) return false;
    for (TControl* c = this; c && c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

void TUiButtonControl::CMDialogChar(TMessage& message) {
    if (Enabled() && ShowAccelChar() && wide::IsWideCharAccel(static_cast<wchar_t>(message.WParam), GetCaption()) &&
        CanFocus() && Visible()) {
        SetFocus();
        Click();
        message.Result = 1;
        return;
    }
    TUiTextObject::CMDialogChar(message);
}

void TUiButtonControl::CMDialogKey(TMessage& message) {
    if (message.WParam == VK_RETURN && Focused() && !(KeyboardStateToShiftState() & (ssShift | ssCtrl | ssAlt))) {
        Click();
        message.Result = 1;
        return;
    }
    TUiTextObject::CMDialogKey(message);
}

// --- glyph buttons ------------------------------------------------------------------------------

TUiGlyphButton::TUiGlyphButton(TComponent* owner)
    : TUiButtonControl(owner), FGlyphs(std::make_unique<TImageList>(nullptr, GlyphSize, GlyphSize)) {}

TUiGlyphButton::~TUiGlyphButton() = default;

void TUiGlyphButton::DoGetImageIndex(TImageList*& images, int& imageIndex) {
    TUiButtonControl::DoGetImageIndex(images, imageIndex);
    if (images) return;
    // The glyph already shows the disabled look.
    FThemedDisabledImage = false;
    const TColor back = GlyphBackground();
    TBitmap glyph(GlyphSize, GlyphSize);
    TCanvas& canvas = glyph.Canvas();
    const RECT r{0, 0, GlyphSize, GlyphSize};
    themed::PaintRectFill(canvas.Handle(), r, back);
    PaintGlyph(canvas, r);
    FGlyphs->Clear();
    FGlyphs->SetSize(GlyphSize, GlyphSize);
    FGlyphs->AddMasked(glyph, back);
    images = FGlyphs.get();
    imageIndex = 0;
}

void TUiGlyphButton::CalcCaptionBounds(RECT& bounds, RECT& captionRect, RECT& glyphRect) {
    TUiButtonControl::CalcCaptionBounds(bounds, captionRect, glyphRect);
    if (AutoSize()) {
        bounds.right += 1;
        bounds.bottom += 2;
    }
}

// --- the check box ------------------------------------------------------------------------------

TUiCheckBox::TUiCheckBox(TComponent* owner) : TUiGlyphButton(owner) { FGroupIndex = -1; }

void TUiCheckBox::SetState(wide::TCheckBoxState value) {
    if (value == FState) return;
    FState = value;
    Invalidate();
    FStateChanging = true;
    auto reset = ScopeExit([this] { FStateChanging = false; });
    Click();
}

void TUiCheckBox::SetChecked(bool value) {
    if (value == GetChecked()) return;
    TUiButtonControl::SetChecked(value);
    SetState(value ? wide::cbChecked : wide::cbUnchecked);
}

void TUiCheckBox::Toggle() {
    switch (FState) {
    case wide::cbUnchecked: SetState(AllowGrayed ? wide::cbGrayed : wide::cbChecked); break;
    case wide::cbChecked: SetState(wide::cbUnchecked); break;
    case wide::cbGrayed: SetState(wide::cbChecked); break;
    }
}

void TUiCheckBox::Click() {
    if (FStateChanging)
        TUiButtonControl::Click();
    else
        Toggle();
}

void TUiCheckBox::PaintGlyph(TCanvas& canvas, const RECT& rect) {
    PaintThemedCheckBox(canvas, rect, Enabled(), FState, MouseInside(), IsPushed(), Focused(), ThemeType());
}

// --- the radio button ---------------------------------------------------------------------------

TUiRadioButton::TUiRadioButton(TComponent* owner) : TUiGlyphButton(owner) { SetTabStop(false); }

void TUiRadioButton::SetChecked(bool value) {
    const bool was = GetChecked();
    TUiButtonControl::SetChecked(value);
    SetTabStop(value);
    if (!was && value) {
        FStateChanging = true;
        auto reset = ScopeExit([this] { FStateChanging = false; });
        Click();
    }
}

void TUiRadioButton::Toggle() { SetChecked(true); }

void TUiRadioButton::Click() {
    if (FStateChanging)
        TUiButtonControl::Click();
    else if (!GetChecked())
        Toggle();
}

void TUiRadioButton::CMFocusChanged(TMessage& message) {
    TUiButtonControl::CMFocusChanged(message);
    if (reinterpret_cast<TWinControl*>(message.LParam) == this && Focused()) Toggle();
}

TColor TUiRadioButton::GlyphBackground() {
    if (Color() != clNone) return Color();
    TCanvas& canvas = Canvas();
    if (!canvas.HandleAllocated()) return clBtnFace;
    // The colour already painted where the glyph goes.
    RECT margins{};
    GetTextMargins(margins);
    RECT area = ShrinkByMargins(ClientRect(), Margins());
    area.left += margins.left;
    area.top += margins.top;
    area.right -= margins.right;
    area.bottom -= margins.bottom;
    RECT text{}, glyph{};
    LayoutGlyphAndText(canvas, area, GetCaption(), static_cast<wide::TAlignment>(GetTextAlignment()), CaptionFlags(),
                       GlyphSize, GlyphSize, false, false, text, glyph);
    return static_cast<TColor>(canvas.Pixel(glyph.left, glyph.top));
}

void TUiRadioButton::PaintGlyph(TCanvas& canvas, const RECT& rect) {
    PaintThemedRadioButton(canvas, rect, Enabled(), GetChecked(), MouseInside(), IsPushed(), Focused(), ThemeType());
}

// --- the push button ----------------------------------------------------------------------------

TUiCustomButton::TUiCustomButton(TComponent* owner)
    : TUiButtonControl(owner), FBitmap(std::make_unique<TBitmap>()), FDropDownMenu([this] { Invalidate(); }) {
    SetAlignment(themed::taCenter);
    SetAutoSize(false);
    SetDrawPushedCaption(true);
    SetThemeType(thtWindows);
    SetBounds(Left(), Top(), 75, 25);
}

TUiCustomButton::~TUiCustomButton() = default;

void TUiCustomButton::TearDown() {
    StopRepeat();
    TUiButtonControl::TearDown();
}

void TUiCustomButton::SetBitmap(HBITMAP bitmap) {
    FBitmap->Assign(bitmap);
    Invalidate();
}

void TUiCustomButton::SetDefault(bool value) {
    if (value == FDefault) return;
    FDefault = value;
    Invalidate();
}

void TUiCustomButton::SetDropDownArrow(bool value) {
    if (value == FDropDownArrow) return;
    FDropDownArrow = value;
    Invalidate();
}

void TUiCustomButton::SetDropDownMenu(TPopupMenu* value) {
    FDropDownMenu = value;
    Invalidate();
}

bool TUiCustomButton::IsPushed() { return FDropDownActive || (Pushed() && MouseInside()); }

void TUiCustomButton::GetTextMargins(RECT& margins) {
    margins = {8, 2, 8, 2};
    if (ShowsDropDownArrow()) margins.right += themed::ActiveToolbarTheme().GetIntMetric(themed::tmDropArrowWidth) + 1;
}

void TUiCustomButton::DoAdjustFont(TFont& font) {
    TUiButtonControl::DoAdjustFont(font);
    if (ThemeType() == thtThm)
        font.SetColor(themed::ActiveToolbarTheme().GetItemTextColor(
            FillButtonItemInfo(Enabled(), IsPushed(), MouseInside(), GetChecked())));
}

void TUiCustomButton::GetFocusRect(const RECT& clientRect, RECT& focusRect, const RECT&, const RECT&) {
    focusRect = clientRect;
    const int inset = ResolveThemeType(ThemeType()) == thtNone ? 4 : 3;
    InflateRect(&focusRect, -inset, -inset);
}

bool TUiCustomButton::DoDraw(TCanvas& canvas, const RECT& rect, TUiPaintStage stage) {
    const bool paintDefault = TUiButtonControl::DoDraw(canvas, rect, stage);
    if (!paintDefault) return false;
    if (stage == pstPostPaint) {
        DrawDropDownArrow(canvas, rect);
        return true;
    }
    const bool hot = MouseInside();
    if (BitmapUsable()) {
        const int quarter = FBitmap->Height() / 4;
        const int face = !Enabled() ? 3 : (GetChecked() || IsPushed()) ? 2 : hot ? 1 : 0;
        const int width = rect.right - rect.left, height = rect.bottom - rect.top;
        TBitmap stretched(width, height);
        HDC dc = stretched.Canvas().Handle();
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, width, height, FBitmap->Canvas().Handle(), 0, face * quarter, FBitmap->Width(), quarter,
                   SRCCOPY);
        if (BitmapTransparent) {
            // The bottom-left pixel names the transparent colour.
            TImageList face(nullptr, width, height);
            face.AddMasked(stretched, clDefault);
            face.Draw(canvas, rect.left, rect.top, 0);
        } else {
            BitBlt(canvas.Handle(), rect.left, rect.top, width, height, dc, 0, 0, SRCCOPY);
        }
        return true;
    }
    const bool isDefault = ResolveThemeType(ThemeType()) != thtThm && (FDefault || Focused());
    PaintThemedButton(canvas, rect, Enabled(), IsPushed(), hot, GetChecked(), false, isDefault, ThemeType(), 0);
    return true;
}

bool TUiCustomButton::DrawDropDownArrow(TCanvas& canvas, const RECT& rect) {
    if (!ShowsDropDownArrow()) return false;
    themed::TThmItemInfo item = FillButtonItemInfo(Enabled(), IsPushed(), MouseInside(), GetChecked());
    if (!DrawPushedCaption()) item.Pushed = false;
    RECT arrow = rect;
    if (!GetCaption().empty()) {
        RECT margins{};
        GetTextMargins(margins);
        arrow.left = arrow.right - margins.right;
    }
    themed::ActiveToolbarTheme().PaintDropArrow(canvas, arrow, item);
    return true;
}

bool TUiCustomButton::ActsOnEnter() {
    TWinControl* focused = FindControl(GetFocus());
    if (auto* button = dynamic_cast<TUiCustomButton*>(focused)) return button == this;
    return FDefault;
}

void TUiCustomButton::CMFocusChanged(TMessage& message) {
    TUiButtonControl::CMFocusChanged(message);
    // The default look follows the focus.
    Invalidate();
}

void TUiCustomButton::CMDialogKey(TMessage& message) {
    const bool noShift = !(KeyboardStateToShiftState() & (ssShift | ssCtrl | ssAlt));
    const bool enter = message.WParam == VK_RETURN && ActsOnEnter();
    const bool escape = message.WParam == VK_ESCAPE && Cancel;
    if ((enter || escape) && noShift && CanFocus()) {
        Click();
        message.Result = 1;
        return;
    }
    TUiButtonControl::CMDialogKey(message);
}

void TUiCustomButton::Click() {
    if (FRepeating) {
        TUiButtonControl::Click();
        return;
    }
    if (FDropDownMenu) {
        DropDown();
        return;
    }
    if (TForm* form = GetParentForm(this); form && ModalResult != mrNone) form->SetModalResult(ModalResult);
    TUiButtonControl::Click();
}

void TUiCustomButton::DropDown() {
    TPopupMenu* menu = FDropDownMenu;
    FDropDownActive = true;
    MouseLeave();
    ReleaseCapture();
    menu->PopupComponent = this;
    TControl* below = DropDownControl();
    const RECT client = below->ClientRect();
    const POINT topLeft = below->ClientToScreen({client.left, client.top});
    const POINT bottomRight = below->ClientToScreen({client.right, client.bottom});
    {
        auto clear = ScopeExit([this] { FDropDownActive = false; });
        Invalidate();
        Update();
        PopupDropDownMenu(*menu, {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
    }
    Invalidate();
    // The click that closed the menu on this button must not open it again.
    if (HandleAllocated()) DropPendingClicks(Handle());
}

void TUiCustomButton::PopupDropDownMenu(TPopupMenu& menu, const RECT& below) {
    // The program's popup menu opens below the button and keeps it uncovered; it tells the
    // button through CM_UIPOPUPCLOSE when it has closed.
    if (auto* uiMenu = dynamic_cast<TUiPopupMenu*>(&menu)) {
        toolbar::TBarCustomItem* clicked = nullptr;
        uiMenu->InternalPopup(below.left, below.bottom, false, DropDownControl(), clicked);
        return;
    }
    // Another themed popup menu also keeps the button uncovered.
    if (auto* themedMenu = dynamic_cast<themed::TThmPopupMenu*>(&menu)) {
        themed::PopupMenuBelowRect(themedMenu, below, false);
        return;
    }
    menu.Popup(below.left, below.bottom);
}

void TUiCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TUiButtonControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled() || !FRepeating) return;
    Click();
    FControlState &= ~csClicked;
    if (!FRepeatTimer) {
        FRepeatTimer = std::make_unique<TTimer>(nullptr);
        FRepeatTimer->SetOnTimer([this](TComponent*) { RepeatTick(); });
    }
    FRepeatTimer->SetInterval(FirstRepeatDelay);
    FRepeatTimer->SetEnabled(true);
}

void TUiCustomButton::RepeatTick() {
    FTicking = true;
    auto done = ScopeExit([this] { FTicking = false; });
    if (!FRepeating) {
        StopRepeat();
        return;
    }
    FRepeatTimer->SetInterval(RepeatInterval);
    if (IsPushed()) Click();
}

void TUiCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) StopRepeat();
    TUiButtonControl::MouseUp(button, shift, x, y);
}

void TUiCustomButton::StopRepeat() {
    if (!FRepeatTimer) return;
    // A timer whose own tick is running only stops; the next stop, or the button's end,
    // frees it.
    if (FTicking)
        FRepeatTimer->SetEnabled(false);
    else
        FRepeatTimer.reset();
}

void TUiCustomButton::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_CANCELMODE:
        StopRepeat();
        MouseLeave();
        break;
    case CM_UIPOPUPCLOSE:
        FDropDownActive = false;
        Invalidate();
        break;
    default: break;
    }
    TUiButtonControl::Dispatch(message);
}

// --- the speed button ---------------------------------------------------------------------------

TUiSpeedButton::TUiSpeedButton(TComponent* owner) : TUiCustomButton(owner) {
    FControlStyle &= ~csSetCaption;
    SetBounds(Left(), Top(), 22, 23);
}

void TUiSpeedButton::Click() {
    if (GroupIndex() != 0) SetChecked(!GetChecked());
    TUiCustomButton::Click();
}

}  // namespace ui
