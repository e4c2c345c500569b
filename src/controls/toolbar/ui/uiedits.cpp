#include "controls/toolbar/ui/uiedits.h"

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <limits>

#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/ui/uipaint.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uiwindows.h"

namespace ui {

using namespace classlib;

namespace {

constexpr int SpinButtonWidth = 15;
constexpr int EditButtonWidth = 20;

// The user's decimal separator.
std::wstring DecimalSeparator() {
    wchar_t buffer[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) > 0 && buffer[0]) return buffer;
    return L".";
}

// Rounds halves to even and saturates to the 64-bit range (NaN gives 0).
long long RoundToInt64(double value) {
    if (std::isnan(value)) return 0;
    const double rounded = std::nearbyint(value);
    if (rounded >= 9223372036854775807.0) return std::numeric_limits<long long>::max();
    if (rounded <= -9223372036854775808.0) return std::numeric_limits<long long>::min();
    return static_cast<long long>(rounded);
}

bool IsBlankOrControl(wchar_t c) { return c <= L' '; }

void RemoveFirst(std::wstring& text, const std::wstring& part) {
    if (part.empty()) return;
    if (const size_t at = text.find(part); at != std::wstring::npos) text.erase(at, part.size());
}

}  // namespace

// --- the Unicode edit ---------------------------------------------------------------------------

void TUiUnicodeEdit::SetAlignment(themed::TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    if (HandleAllocated()) RecreateWnd();
}

void TUiUnicodeEdit::CreateParams(TCreateParams& params) {
    wide::TWideCustomEdit::CreateParams(params);
    static constexpr DWORD aligns[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
    params.Style |= aligns[FAlignment] | WS_CLIPCHILDREN;
}

void TUiUnicodeEdit::CreateHandle() {
    wide::TWideCustomEdit::CreateHandle();
    std::list<classlib::TComponentRef<TUiEditButton>> pending;
    pending.swap(FPendingButtons);
    for (TUiEditButton* button : pending)
        if (button) button->SetParent(this);
    UpdateEditRect();
}

void TUiUnicodeEdit::PlaceButton(TUiEditButton* button) {
    if (Parent() || HandleAllocated()) {
        button->SetParent(this);
        return;
    }
    FPendingButtons.emplace_back();
    FPendingButtons.back() = button;
}

TUiEditButton* TUiUnicodeEdit::AddEditButton(TAlign align, int width) {
    auto* button = new TUiEditButton(this);
    button->SetAlign(align == alLeft ? alLeft : alRight);
    button->SetWidth(width == -1 ? GetSystemMetrics(SM_CXVSCROLL) : width);
    PlaceButton(button);
    UpdateEditRect();
    return button;
}

void TUiUnicodeEdit::UpdateEditRect() {
    if (!HandleAllocated()) return;
    int left = 0, right = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        auto* button = dynamic_cast<TUiEditButton*>(Controls(i));
        if (!button || !button->Visible()) continue;
        if (button->Align() == alLeft)
            left += button->Width();
        else if (button->Align() == alRight)
            right += button->Width();
    }
    if (left > 0) left += 2;
    if (right > 0) right += 2;
    SendMessageW(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(left, right));
}

void TUiUnicodeEdit::CMEnabledChanged(TMessage& message) {
    wide::TWideCustomEdit::CMEnabledChanged(message);
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* button = dynamic_cast<TUiEditButton*>(Components(i))) button->SetEnabled(Enabled());
}

// --- the edit button ----------------------------------------------------------------------------

TUiEditButton::TUiEditButton(TComponent* owner) : TUiSpeedButton(owner) {
    SetThemeType(thtThm);
    if (owner) {
        for (int n = 0;; ++n) {
            const std::wstring name = L"SubEditButton" + std::to_wstring(n);
            if (!owner->FindComponent(name)) {
                SetName(name);
                break;
            }
        }
    }
}

TControl* TUiEditButton::DropDownControl() { return Parent() ? static_cast<TControl*>(Parent()) : this; }

void TUiEditButton::Click() {
    if (TWinControl* edit = Parent(); edit && CanFocusControl(edit)) edit->SetFocus();
    TUiSpeedButton::Click();
}

bool TUiEditButton::HasContent() {
    return !GetCaption().empty() || (Images() && ImageIndex() >= 0 && ImageIndex() < Images()->Count());
}

bool TUiEditButton::DoDraw(TCanvas& canvas, const RECT& rect, TUiPaintStage stage) {
    if (BitmapUsable()) return TUiSpeedButton::DoDraw(canvas, rect, stage);
    const TUiThemeType resolved = ResolveThemeType(ThemeType());
    RECT r = rect;
    if (resolved == thtWindows) InflateRect(&r, 1, 1);
    if (!TUiTextObject::DoDraw(canvas, r, stage)) return false;
    const bool content = HasContent() || resolved != thtWindows;
    if (stage == pstPostPaint) {
        if (content) DrawDropDownArrow(canvas, rect);
        return true;
    }
    if (content)
        PaintEditButtonFace(canvas, r, Enabled(), IsPushed(), MouseInside(), GetChecked(), Focused(), Default(),
                            ThemeType(), 0, clNone);
    else
        PaintComboFrame(canvas, r, Enabled(), r.right - r.left, thtWindows, IsPushed(), MouseInside());
    return true;
}

// --- the spin button ----------------------------------------------------------------------------

TUiSpinButton::TUiSpinButton(TComponent* owner) : TUiEditButton(owner) { SetRepeating(true); }

int TUiSpinButton::HalfUnderCursor() {
    if (!HandleAllocated()) return 0;
    POINT p;
    if (!GetCursorPos(&p)) return 0;
    p = ScreenToClient(p);
    if (p.x < 0 || p.x >= Width() || p.y < 0 || p.y >= Height()) return 0;
    return p.y < Height() / 2 ? 1 : 2;
}

void TUiSpinButton::Click() {
    if (Enabled()) {
        POINT p{};
        GetCursorPos(&p);
        p = ScreenToClient(p);
        if (p.y < Height() / 2) {
            FPressedHalf = 1;
            if (OnUpClick) OnUpClick(this);
        } else {
            FPressedHalf = 2;
            if (OnDownClick) OnDownClick(this);
        }
    }
    TUiEditButton::Click();
}

void TUiSpinButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TUiEditButton::MouseUp(button, shift, x, y);
    FPressedHalf = 0;
    Invalidate();
}

void TUiSpinButton::MouseMove(TShiftState shift, int x, int y) {
    TUiEditButton::MouseMove(shift, x, y);
    if (Enabled()) Invalidate();
}

void TUiSpinButton::DoMouseLeave() {
    FPressedHalf = 0;
    TUiEditButton::DoMouseLeave();
}

bool TUiSpinButton::DoDraw(TCanvas& canvas, const RECT& rect, TUiPaintStage stage) {
    if (BitmapUsable()) return TUiSpeedButton::DoDraw(canvas, rect, stage);
    if (!TUiTextObject::DoDraw(canvas, rect, stage)) return false;
    if (stage == pstPrePaint) {
        const int half = MouseInside() ? HalfUnderCursor() : 0;
        PaintSpinButtons(canvas, rect, Enabled(), FPressedHalf, half == 1, half == 2, ThemeType());
    }
    return true;
}

// --- the themed edit ----------------------------------------------------------------------------

TUiEdit::TUiEdit(TComponent* owner) : TUiUnicodeEdit(owner) { themed::RegisterThemeClient(this); }

TUiEdit::~TUiEdit() {
    if (!FReleased) themed::UnregisterThemeClient(this);
}

void TUiEdit::TearDown() {
    FReleased = true;
    themed::UnregisterThemeClient(this);
    TUiUnicodeEdit::TearDown();
}

void TUiEdit::SetHotTrack(bool value) {
    if (value == FHotTrack) return;
    FHotTrack = value;
    RedrawFrame();
}

void TUiEdit::SetThemeType(TUiThemeType value) {
    if (value == FThemeType) return;
    FThemeType = value;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* button = dynamic_cast<TUiEditButton*>(Components(i))) button->SetThemeType(value);
    RedrawFrame();
}

void TUiEdit::SetHot(bool value) {
    if (value == FHot) return;
    FHot = value;
    if (FHotTrack) RedrawFrame();
}

void TUiEdit::RedrawFrame() {
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
}

void TUiEdit::HandleThemeChange(int change, bool) {
    if (change == themed::tnEndChange) RedrawFrame();
}

void TUiEdit::DoDrawBackground(TCanvas& canvas, const RECT& rect, TUiPaintStage stage, bool& paintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, canvas, rect, stage, paintDefault);
}

void TUiEdit::CMEnter(TMessage& message) {
    TUiUnicodeEdit::CMEnter(message);
    SetHot(true);
}

void TUiEdit::CMExit(TMessage& message) {
    TUiUnicodeEdit::CMExit(message);
    SetHot(false);
}

void TUiEdit::CMMouseEnter(TMessage& message) {
    TUiUnicodeEdit::CMMouseEnter(message);
    SetHot(true);
}

void TUiEdit::CMMouseLeave(TMessage& message) {
    TUiUnicodeEdit::CMMouseLeave(message);
    SetHot(false);
}

void TUiEdit::CMEnabledChanged(TMessage& message) {
    TUiUnicodeEdit::CMEnabledChanged(message);
    SetHot(false);
    RedrawFrame();
}

void TUiEdit::PaintFrame() {
    HWND window = Handle();
    TWindowDC dc(window, GetWindowDC(window));
    if (!dc.Handle()) return;
    RECT bounds;
    GetWindowRect(window, &bounds);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    const RECT inner{bounds.left + 2, bounds.top + 2, bounds.right - 2, bounds.bottom - 2};
    ExcludeClipRect(dc.Handle(), inner.left, inner.top, inner.right, inner.bottom);
    if (FThemeType == thtThm) PaintBackgroundFromParent(this, dc.Handle(), bounds, -2, -2);
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dc.Handle());
    bool paintDefault = true;
    DoDrawBackground(canvas, bounds, pstPrePaint, paintDefault);
    if (paintDefault)
        PaintThemedEditFrame(canvas, bounds, Enabled(), FHotTrack && (FHot || Focused()), FThemeType, false);
    paintDefault = true;
    DoDrawBackground(canvas, bounds, pstPostPaint, paintDefault);
}

void TUiEdit::Dispatch(TMessage& message) {
    if (message.Msg == WM_NCPAINT && HandleAllocated() && ResolveThemeType(FThemeType) != thtNone) {
        PaintFrame();
        message.Result = 0;
        return;
    }
    TUiUnicodeEdit::Dispatch(message);
}

// --- the button edit ----------------------------------------------------------------------------

TUiButtonEdit::TUiButtonEdit(TComponent* owner) : TUiEdit(owner) {
    FControlStyle &= ~csSetCaption;
    FEditButton = AddEditButton(alRight, EditButtonWidth);
}

void TUiButtonEdit::SetName(const std::wstring& name) {
    TUiEdit::SetName(name);
    if ((ComponentState() & csLoading) || !FEditButton) return;
    FEditButton->SetCaption(L"...");
    SetText(L"");
}

// --- the spin edit ------------------------------------------------------------------------------

TUiSpinEdit::TUiSpinEdit(TComponent* owner) : TUiEdit(owner) {
    SetAlignment(themed::taRightJustify);
    auto* spin = new TUiSpinButton(this);
    spin->SetAlign(alRight);
    spin->SetWidth(SpinButtonWidth);
    PlaceButton(spin);
    spin->OnUpClick = [this](TComponent*) { DoUp(); };
    spin->OnDownClick = [this](TComponent*) { DoDown(); };
    FSpinButton = spin;
    UpdateEditRect();
    SetText(L"0");
}

void TUiSpinEdit::RedrawFrame() {
    TUiEdit::RedrawFrame();
    if (FSpinButton) FSpinButton->Invalidate();
}

void TUiSpinEdit::DoValueChanged() {
    if (OnValueChanged) OnValueChanged(this);
}

void TUiSpinEdit::SetValue(double value) {
    // An unordered comparison (NaN) counts as equal: nothing changes.
    if (!(value != FValue) || std::isnan(value) || value < FMinValue || value > FMaxValue) return;
    FValue = value;
    DoValueChanged();
    UpdateText();
}

void TUiSpinEdit::SetMaxValue(double value) {
    if (value == FMaxValue) return;
    FMaxValue = value;
    if (FValue > value) SetValue(value);
}

void TUiSpinEdit::SetMinValue(double value) {
    if (value == FMinValue) return;
    FMinValue = value;
    if (value > FValue) SetValue(value);
}

long long TUiSpinEdit::GetIntegerValue() const { return RoundToInt64(FValue); }

void TUiSpinEdit::SetDecimal(int value) {
    value = std::max(0, std::min(10, value));
    if (value == FDecimal) return;
    FDecimal = value;
    UpdateText();
}

void TUiSpinEdit::SetPrefix(const std::wstring& value) {
    if (value == FPrefix) return;
    FPrefix = value;
    UpdateText();
}

void TUiSpinEdit::SetPostfix(const std::wstring& value) {
    if (value == FPostfix) return;
    FPostfix = value;
    UpdateText();
}

void TUiSpinEdit::SetValueType(TSEValueType value) {
    if (value == FValueType) return;
    FValueType = value;
    if (value == evtInteger || value == evtHex) {
        const double rounded = std::nearbyint(FIncrement);
        FIncrement = rounded < 1 ? 1 : rounded;
    }
    UpdateText();
}

// Steps are computed in double: a value far beyond the 32-bit range steps as well.
void TUiSpinEdit::IncrementValue() {
    if (!(FIncrement > 0)) return;
    const double next =
        ValueSnap ? std::floor(FValue / FIncrement + 1 + FIncrement * 0.0001) * FIncrement : FValue + FIncrement;
    SetValue(next);
}

void TUiSpinEdit::DecrementValue() {
    if (!(FIncrement > 0)) return;
    const double next =
        ValueSnap ? std::ceil(FValue / FIncrement - 1 - FIncrement * 0.0001) * FIncrement : FValue - FIncrement;
    SetValue(next);
}

std::wstring TUiSpinEdit::FormatValue() const {
    wchar_t buffer[400];
    switch (FValueType) {
    case evtInteger: swprintf(buffer, 400, L"%lld", RoundToInt64(FValue)); return buffer;
    case evtHex: swprintf(buffer, 400, L"%llX", static_cast<unsigned long long>(RoundToInt64(FValue))); return buffer;
    case evtFloat: break;
    }
    // Fixed-point with 15 significant digits: larger numbers take the exponent form.
    if (std::fabs(FValue) >= 1e15)
        swprintf(buffer, 400, L"%.14E", FValue);
    else
        swprintf(buffer, 400, L"%.*f", FDecimal, FValue);
    std::wstring text = buffer;
    if (const size_t dot = text.find(L'.'); dot != std::wstring::npos) text.replace(dot, 1, DecimalSeparator());
    return text;
}

bool TUiSpinEdit::ParseValue(const std::wstring& text, double& value) const {
    if (text.empty()) return false;
    const wchar_t* start = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    switch (FValueType) {
    case evtInteger: {
        // An optional sign, then decimal digits only.
        const size_t digits = (text[0] == L'-' || text[0] == L'+') ? 1 : 0;
        if (digits == text.size()) return false;
        for (size_t i = digits; i < text.size(); ++i)
            if (text[i] < L'0' || text[i] > L'9') return false;
        const long long v = std::wcstoll(start, &end, 10);
        if (errno || *end) return false;
        value = static_cast<double>(v);
        return true;
    }
    case evtHex: {
        // Up to 16 hexadecimal digits, read as the 64-bit pattern the text shows (so negative
        // values read back as written).
        if (text.size() > 16) return false;
        for (wchar_t c : text)
            if (!iswxdigit(c)) return false;
        const unsigned long long v = std::wcstoull(start, &end, 16);
        if (errno || *end) return false;
        value = static_cast<double>(static_cast<long long>(v));
        return true;
    }
    case evtFloat: {
        std::wstring plain = text;
        const std::wstring separator = DecimalSeparator();
        if (separator != L".") {
            if (plain.find(L'.') != std::wstring::npos) return false;
            if (const size_t at = plain.find(separator); at != std::wstring::npos) plain.replace(at, separator.size(), L".");
        }
        const double v = std::wcstod(plain.c_str(), &end);
        if (*end || !std::isfinite(v) || !(iswdigit(plain.back()) || plain.back() == L'.')) return false;
        value = v;
        return true;
    }
    }
    return false;
}

void TUiSpinEdit::UpdateText() { SetText(FPrefix + FormatValue() + FPostfix); }

void TUiSpinEdit::ApplyText() {
    std::wstring text = GetText();
    RemoveFirst(text, FPrefix);
    RemoveFirst(text, FPostfix);
    size_t first = 0, last = text.size();
    while (first < last && IsBlankOrControl(text[first])) ++first;
    while (last > first && IsBlankOrControl(text[last - 1])) --last;
    text = text.substr(first, last - first);
    if (!text.empty()) {
        double value = 0;
        if (!ParseValue(text, value)) value = FValueType == evtFloat ? FValue : std::nearbyint(FValue);
        SetValue(value);
    }
    UpdateText();
}

void TUiSpinEdit::KeyDown(WORD& key, TShiftState shift) {
    TUiEdit::KeyDown(key, shift);
    if (key == VK_UP)
        IncrementValue();
    else if (key == VK_DOWN)
        DecrementValue();
}

void TUiSpinEdit::KeyPress(wchar_t& key) {
    TUiEdit::KeyPress(key);
    if (key == L'\r') {
        key = 0;
        ApplyText();
    }
}

void TUiSpinEdit::CMExit(TMessage& message) {
    TUiEdit::CMExit(message);
    ApplyText();
}

}  // namespace ui
