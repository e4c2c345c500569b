#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/screen.h"
#include "classlib/thread.h"

namespace testsupport {

namespace {
std::wstring Widen(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}
}  // namespace

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring CurrentTestName() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    if (!info) return L"NoTest";
    std::wstring name = Widen(std::string(info->test_suite_name()) + "_" + info->name());
    for (auto& c : name)
        if (c == L'/' || c == L'\\') c = L'_';
    return name;
}

ScratchKey::ScratchKey(const std::wstring& name) : FPath(L"Software\\WendlarTest\\" + name) {
    RegDeleteTreeW(HKEY_CURRENT_USER, FPath.c_str());
    RegCreateKeyExW(HKEY_CURRENT_USER, FPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &FKey,
                    nullptr);
}

ScratchKey::~ScratchKey() {
    if (FKey) RegCloseKey(FKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, FPath.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, FPath.c_str());
}

ScratchDir::ScratchDir() {
    static std::atomic<unsigned> counter{0};
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    FPath = std::filesystem::path(tmp) /
            (L"wendlar-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(counter++));
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
    std::filesystem::create_directories(FPath, ec);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

namespace {

// Handles one message of this thread's queue, through the application's loop when there is
// one. False when the queue is empty.
bool PumpOne() {
    MSG msg;
    if (classlib::Application) return classlib::Application->ProcessMessage(msg);
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

}  // namespace

void PumpMessages() {
    // Handling a message may post more, and a queued call may send some: go round until a
    // round finds nothing (bounded, in case something posts itself for ever).
    for (int round = 0; round < 100; ++round) {
        bool any = false;
        while (PumpOne()) any = true;
        if (classlib::CheckSynchronize()) any = true;
        if (!any) return;
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        // The condition is looked at after every message, so a count is seen as soon as it
        // is reached and not after a burst of further messages.
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        if (PumpOne() || classlib::CheckSynchronize()) continue;
        // New messages end the wait at once; conditions that another thread makes true
        // without a message are looked at again soon.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 10)),
                                  QS_ALLINPUT);
    }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(1);
    }
}

DWORD GdiObjectCount() {
    if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return count;
    DWORD count = 0;
    for (ULONG_PTR slot = 0; slot <= 0xFFFF; ++slot)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) ++count;
    return count;
}

HiddenEdit::HiddenEdit(const std::wstring& text)
    : FWindow(CreateWindowExW(0, L"EDIT", text.c_str(), WS_POPUP | ES_AUTOHSCROLL, 0, 0, 300, 24, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr)) {}

HiddenEdit::~HiddenEdit() {
    if (FWindow) DestroyWindow(FWindow);
}

std::wstring HiddenEdit::Text() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(FWindow)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(FWindow, text.data(), static_cast<int>(text.size()))));
    return text;
}

namespace {

// The visible top-level windows of this process: standard dialogs or the others.
std::vector<HWND> OwnWindows(bool dialogs) {
    struct Query {
        bool Dialogs;
        std::vector<HWND> Found;
    } query{dialogs, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* q = reinterpret_cast<Query*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            wchar_t cls[16] = {};
            GetClassNameW(window, cls, 16);
            if (pid == GetCurrentProcessId() && IsWindowVisible(window) && (wcscmp(cls, L"#32770") == 0) == q->Dialogs)
                q->Found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&query));
    return query.Found;
}

std::vector<HWND> OwnDialogs() { return OwnWindows(true); }

// The caption and the texts of a dialog's static controls, for the failure message.
std::wstring DialogText(HWND box) {
    wchar_t caption[256] = {};
    GetWindowTextW(box, caption, 256);
    std::wstring text = L"\"" + std::wstring(caption) + L"\"";
    EnumChildWindows(
        box,
        [](HWND child, LPARAM data) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(child, cls, 16);
            if (_wcsicmp(cls, L"Static") != 0) return TRUE;
            wchar_t buf[512] = {};
            GetWindowTextW(child, buf, 512);
            if (buf[0]) *reinterpret_cast<std::wstring*>(data) += L" \"" + std::wstring(buf) + L"\"";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

}  // namespace

HWND FindOwnDialog() {
    std::vector<HWND> dialogs = OwnDialogs();
    return dialogs.empty() ? nullptr : dialogs.front();
}

namespace dialogwatchdog {
namespace {

std::atomic<DWORD> gDeadlineMs{15000};
HANDLE gStop = nullptr;
HANDLE gThread = nullptr;

struct OpenDialog {
    HWND Window;
    ULONGLONG Since;
    int Answers = 0;
    ULONGLONG LastAnswer = 0;
};

// Keeps `seen` to the windows open now, adding the new ones; returns those open at least
// the deadline.
std::vector<OpenDialog*> OpenPastDeadline(std::vector<OpenDialog>& seen, const std::vector<HWND>& open,
                                          ULONGLONG now) {
    std::erase_if(seen, [&](const OpenDialog& d) { return std::find(open.begin(), open.end(), d.Window) == open.end(); });
    std::vector<OpenDialog*> late;
    for (HWND window : open) {
        auto it = std::find_if(seen.begin(), seen.end(), [&](const OpenDialog& d) { return d.Window == window; });
        if (it == seen.end())
            seen.push_back({window, now});
        else if (now - it->Since >= gDeadlineMs)
            late.push_back(&*it);
    }
    return late;
}

// Runs on the main thread, queued by the watchdog when a window of the process stayed
// visible past the deadline: a form of the program's own that is still modal then (its
// message boxes are such forms) is cancelled, and the test fails.
void CancelModalForms() {
    if (!classlib::Application || classlib::Application->ModalLevel() == 0 || !classlib::Screen) return;
    for (int i = 0; i < classlib::Screen->FormCount(); ++i) {
        classlib::TForm* form = classlib::Screen->Forms(i);
        if (!form->IsModal()) continue;
        ADD_FAILURE() << "a modal form stayed open for " << gDeadlineMs << " ms and was cancelled: \""
                      << Narrow(form->Caption()) << "\"";
        form->SetModalResult(classlib::mrCancel);
    }
}

DWORD WINAPI Watch(LPVOID) {
    // Answers tried in turn: Cancel first; a Yes/No box ignores Cancel, so No follows.
    static const WORD kAnswers[] = {IDCANCEL, IDNO, IDOK, IDABORT, IDIGNORE};
    std::vector<OpenDialog> seen, seenWindows;
    ULONGLONG lastProbe = 0;
    while (WaitForSingleObject(gStop, 50) == WAIT_TIMEOUT) {
        const ULONGLONG now = GetTickCount64();
        // Other windows cannot be told modal from here: the main thread looks, once per
        // deadline at most, and only while a window has been open that long.
        if (!OpenPastDeadline(seenWindows, OwnWindows(false), now).empty() && now - lastProbe >= gDeadlineMs &&
            classlib::Application) {
            lastProbe = now;
            classlib::Application->QueueCall(CancelModalForms);
        }
        for (OpenDialog* it : OpenPastDeadline(seen, OwnDialogs(), now)) {
            HWND window = it->Window;
            if (it->Answers == 0)
                ADD_FAILURE() << "a dialog stayed open for " << gDeadlineMs << " ms and was closed: "
                              << Narrow(DialogText(window));
            if (it->Answers == 0 || now - it->LastAnswer >= 500) {
                PostMessageW(window, WM_COMMAND, kAnswers[it->Answers % std::size(kAnswers)], 0);
                ++it->Answers;
                it->LastAnswer = now;
            }
        }
    }
    return 0;
}

}  // namespace

void Start() {
    if (gThread) return;
    gStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    gThread = CreateThread(nullptr, 0, Watch, nullptr, 0, nullptr);
}

void Stop() {
    if (!gThread) return;
    SetEvent(gStop);
    WaitForSingleObject(gThread, INFINITE);
    CloseHandle(gThread);
    CloseHandle(gStop);
    gThread = gStop = nullptr;
}

DWORD DeadlineMs() { return gDeadlineMs; }
void SetDeadlineMs(DWORD ms) { gDeadlineMs = ms; }

}  // namespace dialogwatchdog

namespace {

void ReportShownWindow(HWND window, const char* what) {
    if (!testing::UnitTest::GetInstance()->current_test_info()) return;
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    ADD_FAILURE() << "the test " << what << " a window of class \"" << Narrow(cls)
                  << "\" but its program runs without the display lock (NODISPLAY)";
}

LRESULT CALLBACK GuardCbt(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) ReportShownWindow(reinterpret_cast<HWND>(wp), "activates");
    return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK GuardCallWndProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (m->message == WM_SHOWWINDOW && m->wParam && !(GetWindowLongW(m->hwnd, GWL_STYLE) & WS_CHILD))
            ReportShownWindow(m->hwnd, "shows");
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

DisplayGuard::DisplayGuard()
    : FCbt(SetWindowsHookExW(WH_CBT, GuardCbt, nullptr, GetCurrentThreadId())),
      FCallWndProc(SetWindowsHookExW(WH_CALLWNDPROC, GuardCallWndProc, nullptr, GetCurrentThreadId())) {}

DisplayGuard::~DisplayGuard() {
    UnhookWindowsHookEx(FCbt);
    UnhookWindowsHookEx(FCallWndProc);
}

MemoryDib::MemoryDib(int width, int height, COLORREF fill) : Width(width), Height(height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    DC = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    Bitmap = CreateDIBSection(DC, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    Bits = static_cast<uint32_t*>(bits);
    FOld = SelectObject(DC, Bitmap);
    Fill(fill);
}

MemoryDib::~MemoryDib() {
    SelectObject(DC, FOld);
    DeleteObject(Bitmap);
    DeleteDC(DC);
}

void MemoryDib::Fill(COLORREF color) {
    GdiFlush();
    const uint32_t value = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    std::fill(Bits, Bits + Width * Height, value);
}

uint32_t MemoryDib::At(int x, int y) const {
    GdiFlush();
    return Bits[y * Width + x];
}

std::vector<uint32_t> MemoryDib::Pixels() const {
    GdiFlush();
    return std::vector<uint32_t>(Bits, Bits + Width * Height);
}

COLORREF MemoryDib::Pixel(int x, int y) const {
    const uint32_t p = At(x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int MemoryDib::Count(COLORREF color) const {
    GdiFlush();
    const uint32_t want = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    return static_cast<int>(std::count_if(Bits, Bits + Width * Height, [&](uint32_t p) { return (p & 0xFFFFFF) == want; }));
}

}  // namespace testsupport
