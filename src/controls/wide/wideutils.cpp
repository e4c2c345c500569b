#include "controls/wide/wideutils.h"

#include <vector>

#include "classlib/runtime.h"

namespace wide {

namespace {

// A word separator of the whole-word rule: U+0000, or a blank or punctuation character in
// the calling thread's locale.
bool IsWordSeparator(wchar_t ch) {
    if (ch == 0)
        return true;
    WORD type = 0;
    CheckOSResult(GetStringTypeExW(GetThreadLocale(), CT_CTYPE1, &ch, 1, &type));
    return (type & (C1_SPACE | C1_PUNCT)) != 0;
}

size_t LastPathDelimiter(const std::wstring& s) {
    return s.find_last_of(L"\\:");
}

}  // namespace

std::wstring WideUpperCaseKeepLength(const std::wstring& s) {
    std::wstring result = s;
    if (!result.empty())
        CharUpperBuffW(result.data(), classlib::Win32Size<DWORD>(result.size()));
    return result;
}

std::wstring WideStringReplace(const std::wstring& s, const std::wstring& oldPattern,
                               const std::wstring& newPattern, unsigned flags, bool wholeWord) {
    if (oldPattern.empty() || s.empty())
        return s;
    const bool ignoreCase = (flags & rfIgnoreCase) != 0;
    // The folded copies have the lengths of the originals, so positions carry over.
    const std::wstring searchStr = ignoreCase ? WideUpperCaseKeepLength(s) : s;
    const std::wstring patt = ignoreCase ? WideUpperCaseKeepLength(oldPattern) : oldPattern;
    const size_t pattLen = oldPattern.size();

    std::wstring result;
    size_t rest = 0;  // start of the part of `s` not yet copied
    while (rest < s.size()) {
        const size_t hit = searchStr.find(patt, rest);
        if (hit == std::wstring::npos)
            break;
        const size_t hitEnd = hit + pattLen;
        if (wholeWord) {
            const wchar_t prev = hit == rest ? (result.empty() ? L'\0' : result.back()) : s[hit - 1];
            const wchar_t next = hitEnd >= s.size() ? L'\0' : s[hitEnd];
            if (!IsWordSeparator(prev) || !IsWordSeparator(next)) {
                result.append(s, rest, hitEnd - rest);
                rest = hitEnd;
                continue;
            }
        }
        result.append(s, rest, hit - rest);
        result += newPattern;
        rest = hitEnd;
        if (!(flags & rfReplaceAll))
            break;
    }
    result.append(s, rest, std::wstring::npos);
    return result;
}

std::wstring WideAdjustLineBreaks(const std::wstring& s, unsigned char style) {
    const wchar_t* lineBreak = style == tlbsLF ? L"\n" : style == tlbsCR ? L"\r" : L"\r\n";
    std::wstring result;
    result.reserve(s.size() + s.size() / 8);
    for (size_t i = 0; i < s.size(); ++i) {
        const wchar_t ch = s[i];
        if (ch == L'\r') {
            if (i + 1 < s.size() && s[i + 1] == L'\n')
                ++i;
            result += lineBreak;
        } else if (ch == L'\n' || ch == 0x2028) {
            result += lineBreak;
        } else {
            result += ch;
        }
    }
    return result;
}

int WideTextPos(const std::wstring& subStr, const std::wstring& s) {
    if (subStr.empty())
        return 0;
    const size_t pos = WideUpperCaseKeepLength(s).find(WideUpperCaseKeepLength(subStr));
    return pos == std::wstring::npos ? 0 : static_cast<int>(pos) + 1;
}

int WideLastDelimiter(const std::wstring& delimiters, const std::wstring& s) {
    for (size_t i = s.size(); i-- > 0;) {
        if (s[i] != 0 && delimiters.find(s[i]) != std::wstring::npos)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

std::wstring WideExcludeTrailingBackslash(const std::wstring& s) {
    if (!s.empty() && s.back() == L'\\')
        return s.substr(0, s.size() - 1);
    return s;
}

std::wstring WideExtractFilePath(const std::wstring& s) {
    const size_t i = LastPathDelimiter(s);
    return i == std::wstring::npos ? std::wstring() : s.substr(0, i + 1);
}

std::wstring WideExtractFileDir(const std::wstring& s) {
    const size_t i = LastPathDelimiter(s);
    if (i == std::wstring::npos)
        return std::wstring();
    size_t len = i + 1;
    if (i > 0 && s[i] == L'\\' && s[i - 1] != L':' && s[i - 1] != L'\\')
        --len;
    return s.substr(0, len);
}

std::wstring WideExtractFileName(const std::wstring& s) {
    const size_t i = LastPathDelimiter(s);
    return i == std::wstring::npos ? s : s.substr(i + 1);
}

namespace {

// Index of the extension's dot, or npos.
size_t ExtensionDot(const std::wstring& s) {
    const size_t i = s.find_last_of(L".\\:");
    if (i != std::wstring::npos && s[i] == L'.')
        return i;
    return std::wstring::npos;
}

}  // namespace

std::wstring WideExtractFileExt(const std::wstring& s) {
    const size_t dot = ExtensionDot(s);
    return dot == std::wstring::npos ? std::wstring() : s.substr(dot);
}

std::wstring WideChangeFileExt(const std::wstring& s, const std::wstring& extension) {
    const size_t dot = ExtensionDot(s);
    return (dot == std::wstring::npos ? s : s.substr(0, dot)) + extension;
}

std::wstring WideFormatModuleMessage(const std::wstring& moduleName, HMODULE module, DWORD errorCode) {
    wchar_t buffer[256];
    DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY;
    if (module)
        flags |= FORMAT_MESSAGE_FROM_HMODULE;
    const DWORD len = FormatMessageW(flags, module, errorCode, 0, buffer, 256, nullptr);
    std::wstring text(buffer, len <= 256 ? len : 0);
    bool onlyBlanks = true;
    for (wchar_t ch : text) {
        if (ch > L' ') {
            onlyBlanks = false;
            break;
        }
    }
    if (onlyBlanks)
        return L"Unspecified error (" + std::to_wstring(static_cast<int>(errorCode)) + L") from " +
               moduleName + L".";
    return text;
}

std::wstring WideSysErrorMessage(DWORD errorCode) {
    return WideFormatModuleMessage(L"system", nullptr, errorCode);
}

int CheckOSResult(int value) {
    if (value == 0)
        classlib::RaiseLastOSError();
    return value;
}

std::wstring WideGetModuleFileName(HMODULE module) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD len = GetModuleFileNameW(module, buffer.data(), classlib::Win32Size<DWORD>(buffer.size()));
        if (len == 0)
            classlib::RaiseLastOSError();
        if (len < buffer.size())
            return std::wstring(buffer.data(), len);
        buffer.resize(buffer.size() * 2);
    }
}

bool WideFieldNeedsEscape(const std::wstring& text) {
    return text.find_first_of(std::wstring(L"\t\r\n\0", 4)) != std::wstring::npos;
}

std::wstring WideEscapeField(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
            case L'\\': out += L"\\\\"; break;
            case L'\t': out += L"\\t"; break;
            case L'\r': out += L"\\r"; break;
            case L'\n': out += L"\\n"; break;
            case L'\0': out += L"\\0"; break;
            default: out += c;
        }
    }
    return out;
}

bool WideUnescapeField(const std::wstring& text, std::wstring& out) {
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return false;
        switch (text[i]) {
            case L'\\': out += L'\\'; break;
            case L't': out += L'\t'; break;
            case L'r': out += L'\r'; break;
            case L'n': out += L'\n'; break;
            case L'0': out += L'\0'; break;
            default: return false;
        }
    }
    return true;
}

}  // namespace wide
