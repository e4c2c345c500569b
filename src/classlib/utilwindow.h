// Hidden utility windows: windows that serve an object (timers, system notices) and never
// show anything. Every one is of the class "WendlarUtilWindow", registered once for the
// process by the application's setup (RegisterUtilWindowClass, also safe to call again),
// and hands its messages to the handler function it was made with.
//
// - A message-only window (the default) gets posted and sent messages and timers.
// - A top-level one (hidden, no taskbar button) also gets the system's broadcasts
//   (WM_SYSCOLORCHANGE, WM_THEMECHANGED, WM_ACTIVATEAPP...), which message-only windows
//   never see.
// The handler answers true when it handled the message (with its result in `result`);
// false lets DefWindowProcW answer. An exception it throws goes to HandleCurrentException
// and the message answers 0. The window goes with the object. Main thread only.
#pragma once

#include <windows.h>

#include <functional>

namespace classlib {

void RegisterUtilWindowClass();

class TUtilWindow {
public:
    using THandler = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
    enum TKind { ukMessageOnly, ukTopLevel };

    explicit TUtilWindow(THandler handler, TKind kind = ukMessageOnly);
    ~TUtilWindow();
    TUtilWindow(const TUtilWindow&) = delete;
    TUtilWindow& operator=(const TUtilWindow&) = delete;

    // Null only when the system refused to make the window.
    HWND Handle() const { return FHandle; }

private:
    friend void RegisterUtilWindowClass();
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

    THandler FHandler;
    HWND FHandle = nullptr;
};

}  // namespace classlib
