#include "app/startguard.h"

#include <atomic>
#include <cwchar>

namespace app {

namespace {

// The guard the handler serves (one at a time) and the range of the program's own image.
std::atomic<TStartFailureGuard*> gGuard{nullptr};
uintptr_t gImageStart = 0, gImageEnd = 0;

constexpr DWORD kFastFail = 0xC0000409;        // STATUS_STACK_BUFFER_OVERRUN
constexpr DWORD kHeapCorruption = 0xC0000374;  // STATUS_HEAP_CORRUPTION

void NoteImageRange() {
    const auto base = reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + static_cast<uintptr_t>(dos->e_lfanew));
    gImageStart = base;
    gImageEnd = base + nt->OptionalHeader.SizeOfImage;
}

// A fault that no part of the program handles: whatever raises it, or, for the faults that
// system code may raise and handle itself, raised in the program's own code.
bool IsFault(const EXCEPTION_RECORD& record) {
    switch (record.ExceptionCode) {
    case EXCEPTION_STACK_OVERFLOW:
    case kFastFail:
    case kHeapCorruption: return true;
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_IN_PAGE_ERROR: {
        const auto at = reinterpret_cast<uintptr_t>(record.ExceptionAddress);
        return at >= gImageStart && at < gImageEnd;
    }
    default: return false;
    }
}

}  // namespace

std::wstring StartFailureText(DWORD code) {
    wchar_t hex[16];
    swprintf(hex, 16, L"%08lX", static_cast<unsigned long>(code));
    return std::wstring(L"Wendlar を起動できませんでした。回復できないエラーが起きたため終了します。\r\n\r\n例外コード：0x") +
           hex;
}

TStartFailureGuard::TStartFailureGuard(std::function<void(DWORD code)> report) : FReport(std::move(report)) {
    NoteImageRange();
    FFault = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    FDisarmed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (FFault && FDisarmed) FThread = CreateThread(nullptr, 0, ReportThread, this, 0, nullptr);
    if (!FFault || !FDisarmed || !FThread) return;  // no guard, start-up goes on as before
    gGuard = this;
    FHandler = AddVectoredExceptionHandler(1, Handler);
}

TStartFailureGuard::~TStartFailureGuard() {
    Disarm();
    for (HANDLE handle : {FThread, FFault, FDisarmed})
        if (handle) CloseHandle(handle);
}

void TStartFailureGuard::Disarm() {
    if (FHandler) RemoveVectoredExceptionHandler(FHandler);
    FHandler = nullptr;
    TStartFailureGuard* self = this;
    gGuard.compare_exchange_strong(self, nullptr);
    if (FDisarmed) SetEvent(FDisarmed);
    if (FThread) WaitForSingleObject(FThread, INFINITE);
}

LONG CALLBACK TStartFailureGuard::Handler(EXCEPTION_POINTERS* info) {
    TStartFailureGuard* guard = gGuard.load();
    if (!guard || !info || !info->ExceptionRecord || !IsFault(*info->ExceptionRecord)) return EXCEPTION_CONTINUE_SEARCH;
    if (GetThreadId(guard->FThread) == GetCurrentThreadId()) return EXCEPTION_CONTINUE_SEARCH;
    // Little stack may be left: hand the fault over and wait; the report thread ends the
    // process (or, disarmed meanwhile, ends itself and the fault takes its usual course).
    if (InterlockedCompareExchange(&guard->FCode, static_cast<LONG>(info->ExceptionRecord->ExceptionCode), 0) == 0)
        SetEvent(guard->FFault);
    WaitForSingleObject(guard->FThread, INFINITE);
    return EXCEPTION_CONTINUE_SEARCH;
}

DWORD WINAPI TStartFailureGuard::ReportThread(void* parameter) {
    auto* guard = static_cast<TStartFailureGuard*>(parameter);
    const HANDLE events[] = {guard->FFault, guard->FDisarmed};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) return 0;
    const auto code = static_cast<DWORD>(guard->FCode);
    try {
        if (guard->FReport) guard->FReport(code);
    } catch (...) {
        // The process ends all the same.
    }
    TerminateProcess(GetCurrentProcess(), code);
    return 0;
}

}  // namespace app
