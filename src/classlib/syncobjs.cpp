#include "classlib/syncobjs.h"

#include "classlib/runtime.h"

namespace classlib {

TEvent::TEvent(bool manualReset, bool initialState, const wchar_t* name)
    : FHandle(CreateEventW(nullptr, manualReset, initialState, name)) {
    if (!FHandle)
        RaiseLastOSError();
}

TEvent::~TEvent() {
    CloseHandle(FHandle);
}

void TEvent::SetEvent() {
    ::SetEvent(FHandle);
}

void TEvent::ResetEvent() {
    ::ResetEvent(FHandle);
}

TWaitResult TEvent::WaitFor(DWORD timeoutMs) {
    switch (WaitForSingleObject(FHandle, timeoutMs)) {
    case WAIT_OBJECT_0: return wrSignaled;
    case WAIT_TIMEOUT: return wrTimeout;
    case WAIT_ABANDONED: return wrAbandoned;
    default: return wrError;
    }
}

}  // namespace classlib
