#include "app/singleinstance.h"

#include "controls/wide/cmdline.h"

#include <algorithm>

namespace app {

TInstanceMutex::TInstanceMutex(const wchar_t* name) {
    FHandle = CreateMutexW(nullptr, TRUE, name);
    FAlreadyExisted = GetLastError() == ERROR_ALREADY_EXISTS;
}

TInstanceMutex::~TInstanceMutex() {
    if (FHandle) CloseHandle(FHandle);
}

std::wstring BuildHandOverText(const std::vector<std::wstring>& params, bool connect) {
    std::wstring text;
    for (size_t i = 0; i < params.size(); ++i) {
        if (connect) {
            if (i > 0) text += L' ';
            text += params[i];
        } else {
            text += params[i] + L"\r\n";
        }
    }
    return text;
}

std::vector<std::wstring> CommandLineParams(const wchar_t* commandLine) {
    std::vector<std::wstring> params;
    const int count = wide::WideParamCount(commandLine);
    for (int i = 1; i <= count; ++i) params.push_back(wide::WideParamStr(i, commandLine));
    return params;
}

std::vector<std::wstring> ReadHandOverLines(const COPYDATASTRUCT& data) {
    std::vector<std::wstring> lines;
    if (data.dwData != CopyDataOpenPathsId || !data.lpData) return lines;
    const auto* chars = static_cast<const wchar_t*>(data.lpData);
    const size_t count = data.cbData / sizeof(wchar_t);
    const std::wstring text(chars, std::find(chars, chars + count, L'\0'));
    size_t start = 0;
    while (start < text.size() && lines.size() < MaxHandOverWindows) {
        const size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == L'\r' && start < text.size() && text[start] == L'\n') ++start;
    }
    return lines;
}

namespace {

struct TFindContext {
    const wchar_t* Property;
    UINT_PTR Value;
    std::vector<HWND> Found;
};

BOOL CALLBACK FindWindowsWithProperty(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<TFindContext*>(param);
    if (reinterpret_cast<UINT_PTR>(GetPropW(window, context->Property)) == context->Value)
        context->Found.push_back(window);
    return TRUE;
}

// The top-level windows with the property, in z order.
std::vector<HWND> TopLevelWindows(const wchar_t* property, UINT_PTR value) {
    TFindContext context{property, value, {}};
    EnumWindows(FindWindowsWithProperty, reinterpret_cast<LPARAM>(&context));
    return context.Found;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// Restores and brings to the front the application window of the process of `mainForm`.
void BringInstanceToFront(HWND mainForm) {
    for (HWND application : TopLevelWindows(AppWindowPropName, AppWindowPropValue)) {
        if (ProcessOf(application) != ProcessOf(mainForm)) continue;
        if (IsIconic(application)) ShowWindow(application, SW_RESTORE);
        SetForegroundWindow(application);
        return;
    }
}

}  // namespace

bool ActivateRunningInstance(const std::wstring& text, UINT timeoutMs) {
    std::wstring buffer = text;  // the terminating NUL travels with the text
    COPYDATASTRUCT data{CopyDataOpenPathsId, static_cast<DWORD>((buffer.size() + 1) * sizeof(wchar_t)),
                        buffer.data()};
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    constexpr DWORD LookAgainMs = 50;
    // A window that does not answer (and that the system does not know as hung yet) keeps
    // only part of the time from the others.
    const UINT perWindowMs = std::max<UINT>(timeoutMs / 4, 1);
    for (;;) {
        for (HWND mainForm : TopLevelWindows(MainFormPropName, MainFormPropValue)) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) return false;
            BringInstanceToFront(mainForm);
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(mainForm, WM_COPYDATA, reinterpret_cast<WPARAM>(mainForm),
                                    reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                                    static_cast<UINT>(std::min<ULONGLONG>(deadline - now, perWindowMs)), &result))
                return true;
        }
        if (GetTickCount64() + LookAgainMs >= deadline) return false;
        Sleep(LookAgainMs);
    }
}

TWindowProperty::TWindowProperty(HWND window, const wchar_t* name, UINT_PTR value) : FWindow(window), FName(name) {
    SetPropW(window, name, reinterpret_cast<HANDLE>(value));
}

TWindowProperty::~TWindowProperty() {
    if (IsWindow(FWindow)) RemovePropW(FWindow, FName);
}

}  // namespace app
