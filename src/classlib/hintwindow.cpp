#include "classlib/hintwindow.h"

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/runtime.h"
#include "classlib/screen.h"

namespace classlib {

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
    FVisible = false;
    FParentFont = false;
    FParentColor = false;
    FColor = clInfoBk;
    FFont->Assign(Screen->HintFont());
}

void THintWindow::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.Style = WS_POPUP | WS_BORDER;
    p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    p.WndParent = Application ? Application->Handle() : nullptr;
    p.Menu = nullptr;
    p.WindowClass.style |= CS_SAVEBITS;
    p.WinClassName = L"THintWindow";
}

void THintWindow::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_NCHITTEST: m.Result = HTTRANSPARENT; return;
    case WM_MOUSEACTIVATE: m.Result = MA_NOACTIVATE; return;
    default: TCustomControl::Dispatch(m);
    }
}

RECT THintWindow::CalcHintRect(int maxWidth, const std::wstring& hint, void*) {
    RECT r{0, 0, maxWidth, 0};
    TWindowDC screen(nullptr);
    TSelectedObject font(screen.Handle(), FFont->Handle());
    DrawTextW(screen.Handle(), hint.c_str(), Win32Size<int>(hint.size()), &r,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    r.right += 6;
    r.bottom += 2;
    return r;
}

RECT PlaceHintRect(RECT r, POINT hintPos, int cursorY, const RECT& work) {
    OffsetRect(&r, hintPos.x, hintPos.y);
    if (r.right > work.right) OffsetRect(&r, work.right - r.right, 0);
    if (r.bottom > work.bottom) OffsetRect(&r, 0, cursorY - 4 - r.bottom);
    if (r.left < work.left) OffsetRect(&r, work.left - r.left, 0);
    if (r.top < work.top) OffsetRect(&r, 0, work.top - r.top);
    return r;
}

void THintWindow::ActivateHint(RECT rect, const std::wstring& hint) { ActivateHintData(rect, hint, nullptr); }

void THintWindow::ActivateHintData(RECT r, const std::wstring& hint, void*) {
    HWND wnd = Handle();
    SetText(hint);
    SetBoundsNoAlign(r.left, r.top, r.right - r.left, r.bottom - r.top);
    SetWindowPos(wnd, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FVisible = true;
    FActive = true;
    InvalidateRect(wnd, nullptr, TRUE);
}

void THintWindow::ReleaseHandle() {
    if (HandleAllocated()) ShowWindow(FHandle, SW_HIDE);
    FVisible = false;
    FActive = false;
}

void THintWindow::Paint() {
    RECT r = ClientRect();
    r.left += 2;
    r.top += 2;
    FCanvas.Font().SetColor(Screen->HintFont().Color());
    FCanvas.Brush().SetStyle(bsClear);
    FCanvas.DrawText(GetText(), r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

}  // namespace classlib
