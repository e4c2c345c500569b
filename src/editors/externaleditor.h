// The bridge to an external text editor: lines are saved to a temporary ".txt" file, the
// user's editor is started on it through the shell, a small wait window waits until the
// editor process ends (or the user stops waiting), and what the editor saved is read back.
//
// - The editor is started with a parameter template in which "%1" (any case) stands for
//   the file's path, put in as it is, without quotes.
// - The wait keeps the wait window responsive: it sleeps until the editor ends or a
//   message arrives, and looks at the stop request at least every 50 ms. The stop button
//   and closing the wait window both stop it; the editor then keeps running and the text
//   it saved so far is read back.
// - Read-back: a byte-order mark names the encoding (UTF-16LE, UTF-16BE, UTF-8); without
//   one, bytes that are valid UTF-8 are UTF-8 (what most editors save today) and anything
//   else is the system's ANSI code page. A file whose bytes did not change leaves the lines
//   untouched.
// - The temporary file is deleted and the process handle closed on every way out.
//
// Main thread only: the wait runs inside the wait window's modal loop.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "classlib/form.h"

namespace classlib {
class TTimer;
}
namespace wide {
class TWideButton;
class TWideStrings;
}  // namespace wide

namespace editors {

// The parameters for the editor: every "%1" of `parameterTemplate`, ignoring case,
// replaced by `fileName` as it is.
std::wstring EditorParameters(const std::wstring& parameterTemplate, const std::wstring& fileName);

// The text of a file an editor saved (rules at the top); a U+0000 ends it. `lossy`, when
// given, tells whether the text lost anything of the bytes: a part that is not valid in the
// encoding taken (a byte of a UTF-16 file left over, malformed UTF-8 after its mark, bytes
// without a character in the ANSI code page), or text after the U+0000.
std::wstring DecodeEditedText(const std::string& bytes, bool* lossy = nullptr);

// The process handle of a started editor, closed when the object goes. Empty when the
// shell handed the file to a program that was running already.
class TEditorProcess {
public:
    TEditorProcess() = default;
    ~TEditorProcess() { Reset(); }
    TEditorProcess(const TEditorProcess&) = delete;
    TEditorProcess& operator=(const TEditorProcess&) = delete;

    HANDLE Handle() const { return FHandle; }
    void Reset(HANDLE handle = nullptr);

private:
    HANDLE FHandle = nullptr;
};

// Starts `editorPath` with `parameters` through the shell (default verb, `parent` as the
// owner of any message, shown normally) and asks for its process. False when the start
// failed.
bool StartEditorProcess(HWND parent, const std::wstring& editorPath, const std::wstring& parameters,
                        TEditorProcess& process);

enum class TEditorWaitEnd {
    Ended,      // the process ended (or the wait on it failed)
    NoProcess,  // there was no process to wait for
    Stopped,    // stopRequested said so
};

// Waits for `process` while this thread's messages run (through the application's loop
// when there is one). Sleeps until the process ends or messages arrive, at most 50 ms at a
// time; after each wake the messages run, then `stopRequested` is asked.
TEditorWaitEnd WaitForEditor(HANDLE process, const std::function<bool()>& stopRequested);

// The wait window, "編集中・・・": a plain dialog-framed form with one button
// "編集を強制終了する". Its timer starts the editor right after the window appears.
// Modal result 1: the editor ran (ended, was stopped, or gave no process to wait for);
// 2: it could not be started (or the window was closed before it was).
class TEditEditorForm : public classlib::TForm {
public:
    explicit TEditEditorForm(classlib::TComponent* owner);

    std::wstring FEditorPath;  // the editor program
    std::wstring FParameters;  // the parameter template ("%1")
    std::wstring FFileName;    // the file to edit

    // Starts the editor and waits for it (what the timer runs once).
    void RunEditor();
    // Asks the wait to end (the stop button; closing the window does the same).
    void Stop() { FStop = true; }
    bool StopRequested() const { return FStop; }
    wide::TWideButton* StopButton() const { return FStopButton; }

private:
    void TimerFired();

    wide::TWideButton* FStopButton = nullptr;
    classlib::TTimer* FTimer = nullptr;
    bool FStop = false;
    bool FWaiting = false;
};

enum class TExternalEditResult {
    NotStarted,  // the editor could not be started: the lines are as they were
    Unchanged,   // the file came back byte for byte as it was saved: the lines are untouched
    Changed,     // the lines now hold what the editor saved
};

// Edits `lines` in the external editor `editorPath`: a fresh "wen*.txt" in the user's
// temporary folder holds the lines (UTF-16LE with a byte-order mark, CR LF after each),
// a TEditEditorForm owned by `owner` waits for the editor, and the file is read back when
// the editor ran. File errors raise the file errors of the class library (EFCreateError,
// EFOpenError); the temporary file is deleted and the wait window freed in every case.
TExternalEditResult EditLinesExternally(classlib::TComponent* owner, wide::TWideStrings& lines,
                                        const std::wstring& editorPath,
                                        const std::wstring& parameterTemplate = L"%1");

}  // namespace editors
