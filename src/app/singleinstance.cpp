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
    HWND Found = nullptr;
};

BOOL CALLBACK FindWindowWithProperty(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<TFindContext*>(param);
    if (reinterpret_cast<UINT_PTR>(GetPropW(window, context->Property)) != context->Value) return TRUE;
    context->Found = window;
    return FALSE;
}

HWND FindTopLevelWindow(const wchar_t* property, UINT_PTR value) {
    TFindContext context{property, value};
    EnumWindows(FindWindowWithProperty, reinterpret_cast<LPARAM>(&context));
    return context.Found;
}

}  // namespace

bool ActivateRunningInstance(const std::wstring& text) {
    HWND application = FindTopLevelWindow(AppWindowPropName, AppWindowPropValue);
    if (!application) return false;
    if (IsIconic(application)) ShowWindow(application, SW_RESTORE);
    SetForegroundWindow(application);
    HWND mainForm = FindTopLevelWindow(MainFormPropName, MainFormPropValue);
    if (!mainForm) return false;
    std::wstring buffer = text;  // the terminating NUL travels with the text
    COPYDATASTRUCT data{CopyDataOpenPathsId, static_cast<DWORD>((buffer.size() + 1) * sizeof(wchar_t)),
                        buffer.data()};
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(mainForm, WM_COPYDATA, reinterpret_cast<WPARAM>(mainForm),
                               reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, HandOverTimeoutMs,
                               &result) != 0;
}

TWindowProperty::TWindowProperty(HWND window, const wchar_t* name, UINT_PTR value) : FWindow(window), FName(name) {
    SetPropW(window, name, reinterpret_cast<HANDLE>(value));
}

TWindowProperty::~TWindowProperty() {
    if (IsWindow(FWindow)) RemovePropW(FWindow, FName);
}

}  // namespace app
