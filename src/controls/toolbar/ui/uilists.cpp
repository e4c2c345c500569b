#include "controls/toolbar/ui/uilists.h"

#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/ui/uipaint.h"
#include "controls/toolbar/ui/uitext.h"
#include "controls/toolbar/ui/uitheme.h"

namespace ui {

using namespace classlib;

// --- the combo box ------------------------------------------------------------------------------

TUiComboBox::TUiComboBox(TComponent* owner) : wide::TWideComboBox(owner) { themed::RegisterThemeClient(this); }

TUiComboBox::~TUiComboBox() {
    if (!FReleased) themed::UnregisterThemeClient(this);
}

void TUiComboBox::TearDown() {
    FReleased = true;
    themed::UnregisterThemeClient(this);
    wide::TWideComboBox::TearDown();
}

void TUiComboBox::SetThemeType(TUiThemeType value) {
    if (value == FThemeType) return;
    FThemeType = value;
    Invalidate();
}

void TUiComboBox::HandleThemeChange(int change, bool) {
    if (change == themed::tnEndChange) Invalidate();
}

void TUiComboBox::DoDrawBackground(TCanvas& canvas, const RECT& rect, TUiPaintStage stage, bool& paintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, canvas, rect, stage, paintDefault);
}

int TUiComboBox::ButtonWidth() { return Style() == wide::csSimple ? 0 : GetSystemMetrics(SM_CXHSCROLL); }

bool TUiComboBox::CursorOnButton() {
    if (!HandleAllocated()) return false;
    POINT p;
    if (!GetCursorPos(&p)) return false;
    p = ScreenToClient(p);
    RECT client = ClientRect();
    client.left = client.right - ButtonWidth();
    return PtInRect(&client, p) != FALSE;
}

bool TUiComboBox::DrawnHot() {
    switch (ResolveThemeType(FThemeType)) {
    case thtWindows: return CursorOnButton();
    case thtThm: return FHotTrack ? (FHot || Focused() || (EditHandle() && GetFocus() == EditHandle())) : DroppedDown();
    default: return false;
    }
}

void TUiComboBox::CMEnter(TMessage& message) {
    wide::TWideComboBox::CMEnter(message);
    FHot = true;
    Invalidate();
}

void TUiComboBox::CMExit(TMessage& message) {
    wide::TWideComboBox::CMExit(message);
    FHot = false;
    Invalidate();
}

void TUiComboBox::CMMouseEnter(TMessage& message) {
    wide::TWideComboBox::CMMouseEnter(message);
    if (message.LParam == 0 && HandleAllocated()) PostMessageW(Handle(), CM_UICOMBOHOVER, 1, 0);
}

void TUiComboBox::CMMouseLeave(TMessage& message) {
    wide::TWideComboBox::CMMouseLeave(message);
    if (message.LParam == 0 && HandleAllocated()) PostMessageW(Handle(), CM_UICOMBOHOVER, 0, 0);
}

// The cursor must really be inside (or outside) the box: passing into the box's own edit
// window is no leave.
void TUiComboBox::Hover(bool enter) {
    POINT p;
    if (DroppedDown() || !GetCursorPos(&p) || !HandleAllocated()) return;
    RECT bounds;
    GetWindowRect(Handle(), &bounds);
    const bool inside = PtInRect(&bounds, p) != FALSE;
    if (enter && !FHot && inside) {
        FHot = true;
        Invalidate();
    } else if (!enter && FHot && !inside) {
        FHot = false;
        Invalidate();
    }
}

void TUiComboBox::CNCommand(TMessage& message) {
    wide::TWideComboBox::CNCommand(message);
    if (HIWORD(message.WParam) == CBN_CLOSEUP) Invalidate();
}

void TUiComboBox::PaintOver() {
    TControlCanvas canvas(this);
    canvas.Lock();
    auto unlock = ScopeExit([&canvas] { canvas.Unlock(); });
    HDC dc = canvas.Handle();
    RECT r;
    GetWindowRect(Handle(), &r);
    OffsetRect(&r, -r.left, -r.top);
    const int button = ButtonWidth();
    TSavedDC saved(dc);
    // The edit part stays as the box drew it.
    ExcludeClipRect(dc, r.left + 2, r.top + 2, r.right - button - 2, r.bottom - 2);
    bool paintDefault = true;
    DoDrawBackground(canvas, r, pstPrePaint, paintDefault);
    const TUiThemeType resolved = ResolveThemeType(FThemeType);
    if (paintDefault && resolved != thtNone) {
        if (resolved == thtThm) PaintBackgroundFromParent(this, dc, r, 0, 0);
        PaintComboFrame(canvas, r, Enabled(), button, FThemeType, DroppedDown(), DrawnHot());
    }
    paintDefault = true;
    DoDrawBackground(canvas, r, pstPostPaint, paintDefault);
}

void TUiComboBox::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_NCCALCSIZE:
        // No non-client area.
        message.Result = 0;
        return;
    case WM_PAINT:
        wide::TWideComboBox::Dispatch(message);
        if (HandleAllocated()) PaintOver();
        return;
    case CM_UICOMBOHOVER: Hover(message.WParam == 1); return;
    case WM_MOUSEMOVE:
        wide::TWideComboBox::Dispatch(message);
        if (ResolveThemeType(FThemeType) == thtWindows && !DroppedDown()) {
            const bool onButton = CursorOnButton();
            if (onButton != FCursorOnButton) {
                FCursorOnButton = onButton;
                Invalidate();
            }
        }
        return;
    default: break;
    }
    wide::TWideComboBox::Dispatch(message);
}

// --- the list boxes -----------------------------------------------------------------------------

template <class TBase>
TUiListBoxBase<TBase>::TUiListBoxBase(TComponent* owner) : TBase(owner) {
    TBase::SetStyle(wide::lbOwnerDrawFixed);
    themed::RegisterThemeClient(this);
}

template <class TBase>
TUiListBoxBase<TBase>::~TUiListBoxBase() {
    if (!FReleased) themed::UnregisterThemeClient(this);
}

template <class TBase>
void TUiListBoxBase<TBase>::TearDown() {
    FReleased = true;
    themed::UnregisterThemeClient(this);
    TBase::TearDown();
}

template <class TBase>
void TUiListBoxBase<TBase>::CreateParams(TCreateParams& params) {
    TBase::CreateParams(params);
    if (!(params.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE))) params.Style |= LBS_OWNERDRAWFIXED;
}

template <class TBase>
void TUiListBoxBase<TBase>::RedrawFrame() {
    if (this->HandleAllocated()) RedrawWindow(this->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

template <class TBase>
void TUiListBoxBase<TBase>::SetHotTrack(bool value) {
    if (value == FHotTrack) return;
    FHotTrack = value;
    RedrawFrame();
}

template <class TBase>
void TUiListBoxBase<TBase>::SetThemeType(TUiThemeType value) {
    if (value == FThemeType) return;
    FThemeType = value;
    RedrawFrame();
    this->Invalidate();
}

template <class TBase>
void TUiListBoxBase<TBase>::HandleThemeChange(int change, bool) {
    if (change == themed::tnEndChange) RedrawFrame();
}

template <class TBase>
void TUiListBoxBase<TBase>::SetHot(bool value) {
    if (value == FHot) return;
    FHot = value;
    RedrawFrame();
}

template <class TBase>
void TUiListBoxBase<TBase>::CMFocusChanged(TMessage& message) {
    TBase::CMFocusChanged(message);
    if (!FHotTrack || !message.LParam) return;
    FFocused = reinterpret_cast<TWinControl*>(message.LParam) == this;
    SetHot(FFocused);
}

template <class TBase>
void TUiListBoxBase<TBase>::CMMouseEnter(TMessage& message) {
    TBase::CMMouseEnter(message);
    if (FHotTrack) SetHot(true);
}

template <class TBase>
void TUiListBoxBase<TBase>::CMMouseLeave(TMessage& message) {
    TBase::CMMouseLeave(message);
    if (FHotTrack && !FFocused) SetHot(false);
}

template <class TBase>
void TUiListBoxBase<TBase>::WndProc(TMessage& message) {
    TBase::WndProc(message);
    if (message.Msg == WM_NCPAINT && ResolveThemeType(FThemeType) != thtNone) PaintListBoxFrame(this, FHot, FThemeType);
}

template <class TBase>
void TUiListBoxBase<TBase>::CNDrawItem(TMessage& message) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
    TCanvas& canvas = this->Canvas();
    TCanvasDCScope scope(canvas, dis->hDC);
    canvas.Lock();
    auto unlock = ScopeExit([&canvas] { canvas.Unlock(); });
    canvas.Font().Assign(this->Font());
    canvas.Brush().SetColor(this->Color());
    const int index = static_cast<int>(dis->itemID);
    RECT rect = dis->rcItem;
    message.Result = 1;
    if (index < 0 || index >= this->Count()) {
        canvas.FillRect(rect);
        return;
    }
    wide::TOwnerDrawState state = 0;
    if (dis->itemState & ODS_SELECTED) state |= wide::odSelected;
    if (dis->itemState & ODS_GRAYED) state |= wide::odGrayed;
    if (dis->itemState & ODS_DISABLED) state |= wide::odDisabled;
    if (dis->itemState & ODS_CHECKED) state |= wide::odChecked;
    if (dis->itemState & ODS_FOCUS) state |= wide::odFocused;
    rect.left += ItemIndent(index);
    DrawItemBackground(index, rect, state);
    rect.left += 1;
    DrawItem(index, rect, state);
}

template <class TBase>
void TUiListBoxBase<TBase>::DrawItem(int index, RECT rect, wide::TOwnerDrawState state) {
    if (this->OnDrawItem) {
        this->OnDrawItem(this, index, rect, state);
        return;
    }
    TCanvas& canvas = this->Canvas();
    const std::wstring text = this->Items().Get(index);
    RECT r = rect;
    r.left += 2;
    canvas.Brush().SetStyle(bsClear);
    DrawWideText(canvas, text, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    canvas.Brush().SetStyle(bsSolid);
}

template <class TBase>
void TUiListBoxBase<TBase>::DrawItemBackground(int index, RECT rect, wide::TOwnerDrawState state) {
    if (OnDrawItemBackground) {
        OnDrawItemBackground(this, index, rect, state);
        return;
    }
    PaintThemedListItem(this->Canvas(), rect, (state & wide::odSelected) != 0, false, (state & wide::odFocused) != 0,
                        ResolveThemeType(FThemeType));
}

template class TUiListBoxBase<wide::TWideListBox>;
template class TUiListBoxBase<wide::TWideCheckListBox>;

void TUiCheckListBox::CNDrawItem(TMessage& message) {
    message.Result = 1;
    if (Count() == 0) return;
    TUiListBoxBase::CNDrawItem(message);
}

void TUiCheckListBox::DrawItemBackground(int index, RECT rect, wide::TOwnerDrawState state) {
    if (OnDrawItemBackground) {
        OnDrawItemBackground(this, index, rect, state);
        return;
    }
    TCanvas& canvas = Canvas();
    const TUiThemeType resolved = ResolveThemeType(FThemeType);
    if (Header(index)) {
        canvas.Font().SetColor(HeaderColor);
        canvas.Brush().SetColor(HeaderBackgroundColor);
        canvas.FillRect(rect);
        if (state & wide::odFocused) PaintFocusRect(canvas, rect);
        return;
    }
    const int check = CheckWidth();
    // The column of the check box, then the box centred in it.
    canvas.FillRect({rect.left - check, rect.top, rect.left, rect.bottom});
    RECT square{rect.left - check, rect.top, rect.left, rect.top + check};
    OffsetRect(&square, 0, (rect.bottom - rect.top - check) / 2);
    InflateRect(&square, -1, -1);
    canvas.FillRect(square);
    PaintThemedCheckBox(canvas, square, ItemEnabled(index), State(index), false, false, false, resolved);
    PaintThemedListItem(canvas, rect, (state & wide::odSelected) != 0, false, (state & wide::odFocused) != 0, resolved);
}

}  // namespace ui
