#include "classlib/runtime.h"

#include "classlib/errors.h"

namespace classlib {

std::wstring SysErrorMessage(DWORD errorCode) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                             nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring result;
    if (n > 0 && buffer)
        result.assign(buffer, n);
    if (buffer)
        LocalFree(buffer);
    // Line breaks, blanks and a closing period at the end are dropped, so the text can be
    // embedded in a sentence.
    while (!result.empty() && (result.back() <= L' ' || result.back() == L'.'))
        result.pop_back();
    return result;
}

void RaiseLastOSError() {
    RaiseLastOSError(GetLastError());
}

void RaiseLastOSError(DWORD errorCode) {
    std::wstring text = SysErrorMessage(errorCode);
    if (errorCode == 0)
        throw EOSError(L"システム API 呼び出しでエラーが発生しました");
    throw EOSError(L"システムエラー。  コード: " + std::to_wstring(errorCode) + L".\n" + text);
}

}  // namespace classlib
