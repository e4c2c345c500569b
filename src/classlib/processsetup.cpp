#include "classlib/processsetup.h"

#include "classlib/utilwindow.h"

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <ole2.h>

namespace classlib {

namespace {

struct TSetupState {
    int Users = 0;
    bool Ole = false;
    bool TimerPeriod = false;
    std::vector<std::wstring> Journal;
};

TSetupState& State() {
    static TSetupState state;
    return state;
}

}  // namespace

TProcessSetup::TProcessSetup() {
    TSetupState& s = State();
    if (s.Users++ > 0) return;
    // A single-threaded apartment with OLE's clipboard and drag-and-drop on this thread.
    s.Ole = SUCCEEDED(OleInitialize(nullptr));
    if (s.Ole) Note(L"+ole");
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    Note(L"+common controls");
    // Animations and timers of 1 ms steps (the tree's scrolling and expanding).
    s.TimerPeriod = timeBeginPeriod(1) == TIMERR_NOERROR;
    if (s.TimerPeriod) Note(L"+timer resolution");
    RegisterUtilWindowClass();
    Note(L"+window classes");
}

TProcessSetup::~TProcessSetup() {
    TSetupState& s = State();
    if (--s.Users > 0) return;
    if (s.TimerPeriod) {
        timeEndPeriod(1);
        s.TimerPeriod = false;
        Note(L"-timer resolution");
    }
    if (s.Ole) {
        OleUninitialize();
        s.Ole = false;
        Note(L"-ole");
    }
}

bool TProcessSetup::OleInitialized() { return State().Ole; }

const std::vector<std::wstring>& TProcessSetup::Journal() { return State().Journal; }

void TProcessSetup::Note(const std::wstring& entry) { State().Journal.push_back(entry); }

}  // namespace classlib
