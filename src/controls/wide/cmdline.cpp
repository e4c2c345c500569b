#include "controls/wide/cmdline.h"

#include <windows.h>

#include "controls/wide/wideutils.h"

namespace wide {

const wchar_t* WideParseNextParam(const wchar_t* p, std::wstring& param) {
    param.clear();
    // Skip separators, and pairs of double quotes standing between parameters.
    for (;;) {
        while (*p != 0 && *p <= L' ')
            ++p;
        if (p[0] == L'"' && p[1] == L'"')
            p += 2;
        else
            break;
    }
    while (*p > L' ') {
        if (*p == L'"') {
            ++p;
            while (*p != 0 && *p != L'"')
                param += *p++;
            if (*p != 0)
                ++p;
        } else {
            param += *p++;
        }
    }
    return p;
}

int WideParamCount(const wchar_t* commandLine) {
    std::wstring param;
    const wchar_t* p = WideParseNextParam(commandLine, param);  // the program's name
    int count = 0;
    for (;;) {
        p = WideParseNextParam(p, param);
        if (param.empty())
            break;
        ++count;
    }
    return count;
}

int WideParamCount() {
    return WideParamCount(GetCommandLineW());
}

std::wstring WideParamStr(int index, const wchar_t* commandLine) {
    if (index < 0)
        return std::wstring();
    if (index == 0)
        return WideGetModuleFileName(nullptr);
    std::wstring param;
    const wchar_t* p = commandLine;
    for (;;) {
        p = WideParseNextParam(p, param);
        if (index == 0 || param.empty())
            break;
        --index;
    }
    return param;
}

std::wstring WideParamStr(int index) {
    return WideParamStr(index, GetCommandLineW());
}

}  // namespace wide
