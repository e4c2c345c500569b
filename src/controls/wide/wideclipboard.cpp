#include "controls/wide/wideclipboard.h"

#include <windows.h>

#include <cstring>

namespace wide {

namespace {

// Holds the clipboard open for one scope.
class TClipboardScope {
public:
    TClipboardScope() {
        // Another program may hold it for a moment (clipboard managers do).
        for (int attempt = 0; attempt < 50; ++attempt) {
            if (OpenClipboard(nullptr)) {
                FOpen = true;
                return;
            }
            Sleep(10);
        }
        throw EWideClipboardError(L"クリップボードを開けません");
    }
    ~TClipboardScope() {
        if (FOpen) CloseClipboard();
    }
    TClipboardScope(const TClipboardScope&) = delete;
    TClipboardScope& operator=(const TClipboardScope&) = delete;

private:
    bool FOpen = false;
};

void PutBuffer(UINT format, const void* data, size_t size) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (!mem) throw EWideClipboardError(L"クリップボードにデータを置けません");
    void* p = GlobalLock(mem);
    std::memcpy(p, data, size);
    GlobalUnlock(mem);
    if (!SetClipboardData(format, mem)) {
        GlobalFree(mem);
        throw EWideClipboardError(L"クリップボードにデータを置けません");
    }
}

}  // namespace

void TWideClipboard::SetAsWideText(const std::wstring& text) {
    std::wstring w(text.c_str());  // the clipboard text ends at its first NUL
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(n), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), ansi.data(), n, nullptr, nullptr);
    TClipboardScope scope;
    EmptyClipboard();
    PutBuffer(CF_TEXT, ansi.c_str(), ansi.size() + 1);
    PutBuffer(CF_UNICODETEXT, w.c_str(), (w.size() + 1) * sizeof(wchar_t));
}

std::wstring TWideClipboard::AsWideText() {
    TClipboardScope scope;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        const auto* p = static_cast<const wchar_t*>(GlobalLock(h));
        std::wstring s = p ? std::wstring(p, wcsnlen(p, GlobalSize(h) / sizeof(wchar_t))) : std::wstring();
        GlobalUnlock(h);
        return s;
    }
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        const auto* p = static_cast<const char*>(GlobalLock(h));
        std::string a = p ? std::string(p, strnlen(p, GlobalSize(h))) : std::string();
        GlobalUnlock(h);
        int n = MultiByteToWideChar(CP_ACP, 0, a.c_str(), static_cast<int>(a.size()), nullptr, 0);
        std::wstring s(static_cast<size_t>(n), L'\0');
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, a.c_str(), static_cast<int>(a.size()), s.data(), n);
        return s;
    }
    return {};
}

TWideClipboard& WideClipboard() {
    static TWideClipboard clipboard;
    return clipboard;
}

}  // namespace wide
