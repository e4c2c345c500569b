#include "classlib/utilwindow.h"

#include "classlib/errors.h"

namespace classlib {

namespace {
constexpr wchar_t kUtilWindowClass[] = L"WendlarUtilWindow";
}

void RegisterUtilWindowClass() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, kUtilWindowClass, &wc)) return;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TUtilWindow::WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kUtilWindowClass;
    RegisterClassExW(&wc);
}

TUtilWindow::TUtilWindow(THandler handler, TKind kind) : FHandler(std::move(handler)) {
    RegisterUtilWindowClass();
    const bool topLevel = kind == ukTopLevel;
    FHandle = CreateWindowExW(topLevel ? WS_EX_TOOLWINDOW : 0, kUtilWindowClass, L"", topLevel ? WS_POPUP : 0, 0, 0, 0,
                              0, topLevel ? nullptr : HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), this);
}

TUtilWindow::~TUtilWindow() {
    if (!FHandle) return;
    // Unbound first: nothing the window still receives while it goes reaches the handler.
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
}

LRESULT CALLBACK TUtilWindow::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TUtilWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (self && self->FHandler) {
        try {
            LRESULT result = 0;
            if (self->FHandler(msg, wp, lp, result)) return result;
        } catch (...) {
            HandleCurrentException(nullptr);
            return 0;
        }
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace classlib
