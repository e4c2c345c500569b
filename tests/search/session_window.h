// A hidden message-only window that hands the search messages to a TFindSession, as the
// main window does, and records what the session answered.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/test_support.h"
#include "search/find_session.h"

namespace searchtest {

class SessionWindow {
public:
    explicit SessionWindow(search::TFindSession& session) : FSession(session) {
        static const ATOM atom = [] {
            WNDCLASSEXW wc{sizeof(wc)};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"WendlarFindSessionTestWindow";
            return RegisterClassExW(&wc);
        }();
        (void)atom;
        FWnd = CreateWindowExW(0, L"WendlarFindSessionTestWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(FWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~SessionWindow() { DestroyWindow(FWnd); }
    SessionWindow(const SessionWindow&) = delete;
    SessionWindow& operator=(const SessionWindow&) = delete;

    HWND Handle() const { return FWnd; }

    // Messages the session took as its current search's, and those it ignored.
    int Done = 0, StaleDone = 0, StaleHits = 0;
    std::wstring Status;

    // Starts a search and runs messages until the session handled its end.
    void Run(search::TWendlarFindRecord record) {
        const int before = Done;
        FSession.Start(std::move(record), FWnd);
        EXPECT_TRUE(testsupport::PumpUntil([&] { return Done > before; }, 120'000)) << "the search did not end";
    }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<SessionWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(wnd, msg, wp, lp);
        switch (msg) {
        case search::WM_FINDHIT:
            if (!self->FSession.HandleHit(wp)) ++self->StaleHits;
            return 0;
        case search::WM_FINDPROGRESS:
            self->FSession.HandleProgress(wp, self->Status);
            return 0;
        case search::WM_FINDDONE:
            if (self->FSession.HandleDone(wp, self->Status)) ++self->Done;
            else ++self->StaleDone;
            return 0;
        default: return DefWindowProcW(wnd, msg, wp, lp);
        }
    }

    search::TFindSession& FSession;
    HWND FWnd = nullptr;
};

}  // namespace searchtest
