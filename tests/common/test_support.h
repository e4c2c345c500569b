// Helpers shared by the tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// A registry key HKCU\Software\WendlarTest\<name> that exists for the life of the object
// and is removed with everything below it afterwards. `Path()` is relative to HKCU.
class ScratchKey {
public:
    explicit ScratchKey(const std::wstring& name);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const std::wstring& Path() const { return FPath; }
    HKEY Handle() const { return FKey; }

private:
    std::wstring FPath;
    HKEY FKey = nullptr;
};

// The name of the running test as "Suite_Name", usable as a key or file name.
std::wstring CurrentTestName();

// A fresh, empty folder under the temporary folder, removed with its contents afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    std::wstring File(const std::wstring& name) const { return (FPath / name).wstring(); }

private:
    std::filesystem::path FPath;
};

// UTF-8 text of a UTF-16 string (for test messages).
std::string Narrow(const std::wstring& text);

// --- Waiting -------------------------------------------------------------------------
// Tests wait for a condition with a deadline, never for a fixed time: a fault fails the
// wait (false) instead of hanging the test, and a slow machine only makes it take longer.

// How long a wait lasts before it gives up, unless the caller names another deadline.
constexpr DWORD kWaitMs = 20000;

// Runs this thread's messages and the calls queued for the main thread until nothing more
// is pending. Call on the main thread.
void PumpMessages();

// Checks `done`; while it does not hold, runs messages and queued calls one at a time (as
// PumpMessages) and waits for more to arrive, until `done` holds (true) or `timeoutMs`
// passed (false).
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs);

// Waits without running messages until `done` holds (true) or `timeoutMs` passed (false):
// for helper threads and for conditions that another thread makes true.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs);

// A visible standard dialog (message box, file dialog) of this process, or null.
HWND FindOwnDialog();

// The watchdog of every test program: a standard dialog of the process that is still open
// `DeadlineMs()` after it appeared is closed (Cancel, else No, else OK), and a modal form of
// the program's own (its message boxes are such forms) is cancelled; either fails the
// running test, which then goes on instead of hanging until the runner's timeout.
namespace dialogwatchdog {
void Start();
void Stop();
DWORD DeadlineMs();
void SetDeadlineMs(DWORD ms);  // tests of the watchdog itself
}  // namespace dialogwatchdog

// A program that runs without the display lock (NODISPLAY) shares the display with tests
// that show windows, whose input focus a window of its own would take. While a guard lives
// (test_main makes one when the runner sets WENDLAR_TEST_NODISPLAY), a test that shows or
// activates a top-level window on this thread fails: its program needs the display lock.
class DisplayGuard {
public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;

private:
    HHOOK FCbt, FCallWndProc;
};

// --- GDI objects -------------------------------------------------------------------------

// The number of GDI objects this process holds now, for tests that check that nothing
// leaks: compare counts taken before and after the work (after a first round of the work,
// so that caches the system fills once are not counted). Where the system answers
// GetGuiResources with 0 (it does under Wine), the objects are counted one by one: a
// handle value with an empty upper half names whatever object lives in that slot.
DWORD GdiObjectCount();

// A hidden single-line window of the system's EDIT class, destroyed with the object.
class HiddenEdit {
public:
    explicit HiddenEdit(const std::wstring& text = L"");
    ~HiddenEdit();
    HiddenEdit(const HiddenEdit&) = delete;
    HiddenEdit& operator=(const HiddenEdit&) = delete;
    HWND Handle() const { return FWindow; }
    std::wstring Text() const;

private:
    HWND FWindow;
};

// --- Memory bitmaps --------------------------------------------------------------------

// A 32-bit top-down DIB section selected into its own memory DC, filled with one colour.
// Pixels read as COLORREF (Pixel, Count, Has) or as the DIB's own 0x00RRGGBB (At, Pixels).
struct MemoryDib {
    MemoryDib(int width, int height, COLORREF fill);
    ~MemoryDib();
    MemoryDib(const MemoryDib&) = delete;
    MemoryDib& operator=(const MemoryDib&) = delete;

    void Fill(COLORREF color);
    uint32_t At(int x, int y) const;
    std::vector<uint32_t> Pixels() const;
    COLORREF Pixel(int x, int y) const;
    int Count(COLORREF color) const;
    bool Has(COLORREF color) const { return Count(color) > 0; }

    const int Width, Height;
    HDC DC = nullptr;
    HBITMAP Bitmap = nullptr;
    uint32_t* Bits = nullptr;

private:
    HGDIOBJ FOld = nullptr;
};

}  // namespace testsupport
