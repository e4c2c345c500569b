#include "controls/wide/widemenus.h"

#include <windows.h>

namespace wide {

int WideHotKeyPos(const std::wstring& s) {
    int result = 0;
    size_t n = s.size();
    for (size_t i = 0; i < n; ++i) {
        if (s[i] != L'&') continue;
        if (i + 1 < n && s[i + 1] != L'&') result = static_cast<int>(i) + 2;
        ++i;  // the marked character, or the second "&" of "&&"
    }
    return result;
}

std::wstring WideHotKeyChar(const std::wstring& s) {
    int p = WideHotKeyPos(s);
    return p ? s.substr(static_cast<size_t>(p) - 1, 1) : std::wstring();
}

bool IsFarEastLocale() {
    switch (GetACP()) {
    case 932:
    case 936:
    case 949:
    case 950: return true;
    default: return GetSystemMetrics(SM_DBCSENABLED) != 0;
    }
}

std::wstring WideStripHotKeys(const std::wstring& s, bool farEast) {
    std::wstring r;
    size_t n = s.size();
    for (size_t i = 0; i < n; ++i) {
        wchar_t c = s[i];
        if (c != L'&') {
            r += c;
            continue;
        }
        if (farEast && i > 0 && s[i - 1] == L'(' && i + 2 < n && s[i + 2] == L')' && !r.empty() && r.back() == L'(') {
            r.pop_back();  // "(&X)" goes whole
            i += 2;
            continue;
        }
        if (i + 1 < n && s[i + 1] == L'&') {
            r += L'&';
            ++i;
        }
    }
    return r;
}

std::wstring WideStripHotKeys(const std::wstring& s) { return WideStripHotKeys(s, IsFarEastLocale()); }

bool WideSameCaption(const std::wstring& a, const std::wstring& b) {
    std::wstring x = WideStripHotKeys(a), y = WideStripHotKeys(b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, x.c_str(), static_cast<int>(x.size()), y.c_str(),
                          static_cast<int>(y.size())) == CSTR_EQUAL;
}

bool WideSameCaptionExact(const std::wstring& a, const std::wstring& b) {
    return WideStripHotKeys(a) == WideStripHotKeys(b);
}

std::wstring WideShortCutToText(classlib::TShortCut sc) {
    // The key's own name, also where another key shares it (the keypad's "3" shows as "3").
    const std::wstring name = classlib::KeyToText(sc & 0xFF);
    if (name.empty()) return {};
    std::wstring r;
    if (sc & classlib::scShift) r += L"Shift+";
    if (sc & classlib::scCtrl) r += L"Ctrl+";
    if (sc & classlib::scAlt) r += L"Alt+";
    return r + name;
}

std::wstring MenuItemWideHint(classlib::TMenuItem* item) { return item ? item->Hint() : std::wstring(); }

}  // namespace wide
