// One running instance: a named mutex marks it, two window properties let a later start
// find its application window and its main window, and a later start hands its command
// line over in one WM_COPYDATA message and ends.
//
// Main thread only, except the pure text functions.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace app {

constexpr const wchar_t* InstanceMutexName = L"Wendlar";
constexpr const wchar_t* AppWindowPropName = L"Wendlar";
constexpr UINT_PTR AppWindowPropValue = 12345;
constexpr const wchar_t* MainFormPropName = L"WendlarForm";
constexpr UINT_PTR MainFormPropValue = 54321;
constexpr ULONG_PTR CopyDataOpenPathsId = 12345;

// How long a start waits for the running instance to take its command line: for its main
// window to appear (it may still be starting) and to answer. A window the system already
// knows as hung fails at once (SMTO_ABORTIFHUNG). An instance that runs answers at once: it
// opens the windows after its reply.
constexpr UINT HandOverTimeoutMs = 10000;
// What a start says when no instance took its command line in time and it runs as an
// instance of its own.
constexpr const wchar_t* NoAnswerNotice =
    L"起動している Wendlar が応答しないため、新しく起動します。";
// At most this many lines of one hand-over open a window; the rest are ignored.
constexpr size_t MaxHandOverWindows = 64;

// The mutex that marks the running instance; its handle is held as long as the object
// (the entry keeps it for the life of the process).
class TInstanceMutex {
public:
    explicit TInstanceMutex(const wchar_t* name);
    ~TInstanceMutex();
    TInstanceMutex(const TInstanceMutex&) = delete;
    TInstanceMutex& operator=(const TInstanceMutex&) = delete;
    // The mutex existed before this process asked for it: an instance runs.
    bool AlreadyExisted() const { return FAlreadyExisted; }

private:
    HANDLE FHandle = nullptr;
    bool FAlreadyExisted = false;
};

// The text handed over: the parameters joined by single blanks when `connect` (no line
// break), else every parameter followed by CR LF. No parameters give an empty text.
std::wstring BuildHandOverText(const std::vector<std::wstring>& params, bool connect);
// The parameters 1 to WideParamCount of a command line (its first one is the program).
std::vector<std::wstring> CommandLineParams(const wchar_t* commandLine);

// The text of a hand-over message, never read beyond `cbData` bytes (up to its first NUL;
// an odd last byte is dropped), split into lines (CR LF, CR or LF end a line; a final break
// adds no empty line), at most MaxHandOverWindows of them. Empty for another dwData or no
// data.
std::vector<std::wstring> ReadHandOverLines(const COPYDATASTRUCT& data);

// Hands the text to a running instance: each main window (property MainFormPropName =
// MainFormPropValue) in turn, until one takes it, after its process's application window
// (AppWindowPropName = AppWindowPropValue) was restored when minimised and brought to the
// front; each window waits at most a quarter of `timeoutMs` for its answer, and while none
// took it the windows are looked for again until `timeoutMs` has passed. True when a main
// window took the message; false when none did within the time (none there, or none
// answering).
bool ActivateRunningInstance(const std::wstring& text, UINT timeoutMs = HandOverTimeoutMs);

// The window properties of the running instance, set while the object lives.
class TWindowProperty {
public:
    TWindowProperty(HWND window, const wchar_t* name, UINT_PTR value);
    ~TWindowProperty();
    TWindowProperty(const TWindowProperty&) = delete;
    TWindowProperty& operator=(const TWindowProperty&) = delete;

private:
    HWND FWindow;
    const wchar_t* FName;
};

}  // namespace app
