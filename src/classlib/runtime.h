// Runtime helpers with the rules the rest of the program relies on.
#pragma once

#include <windows.h>

#include <string>

namespace classlib {

// The system's text for an error code, without trailing line breaks. Empty if unknown.
std::wstring SysErrorMessage(DWORD errorCode);

// Raises EOSError for GetLastError() (or `errorCode`), with the system's text.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(DWORD errorCode);

}  // namespace classlib
