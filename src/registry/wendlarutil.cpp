// General helpers: dialogs, digits, hexadecimal text, temporary names, folder walk,
// gradient lines.
#include "registry/wendlarutil.h"

#include "classlib/runtime.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace registry {

// --- Dialogs ---------------------------------------------------------------------------

bool ShowFileDialog(HWND Owner, const std::wstring& DefaultExt, const std::wstring& Filter,
                    const std::wstring& InitialDir, const std::wstring& Title,
                    std::wstring& FileName, bool FileMustExist, bool OverwritePrompt,
                    bool NoChangeDir, bool Open, int FilterIndex) {
    try {
        std::vector<wchar_t> buffer(4097 + 1, L'\0');
        std::copy_n(FileName.begin(), std::min<size_t>(FileName.size(), 4096), buffer.begin());
        std::wstring filter = Filter;
        std::replace(filter.begin(), filter.end(), L'|', L'\0');
        filter.push_back(L'\0');
        filter.push_back(L'\0');

        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = Owner;
        ofn.lpstrFile = buffer.data();
        ofn.nMaxFile = 4097;
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = FilterIndex;
        if (!DefaultExt.empty()) ofn.lpstrDefExt = DefaultExt.c_str();
        if (!InitialDir.empty()) ofn.lpstrInitialDir = InitialDir.c_str();
        if (!Title.empty()) ofn.lpstrTitle = Title.c_str();
        ofn.Flags = OFN_HIDEREADONLY;
        if (FileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
        if (OverwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
        if (NoChangeDir) ofn.Flags |= OFN_NOCHANGEDIR;
        const BOOL ok = Open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
        if (!ok) return false;
        FileName = buffer.data();
        return true;
    } catch (...) {
        return false;
    }
}

namespace {
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data)
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}
}  // namespace

bool BrowseForFolder(HWND Owner, const std::wstring& Title, const wchar_t* InitialFolder,
                     std::wstring& Folder) {
    // The dialog needs COM in a single-threaded apartment on the calling thread. On the main
    // thread the application's process setup already holds it and this call only counts; a
    // caller on another thread gets it for the dialog's time. Balanced below either way.
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool result = false;
    try {
        wchar_t displayName[MAX_PATH] = {};
        BROWSEINFOW info{};
        info.hwndOwner = Owner;
        info.pszDisplayName = displayName;
        info.lpszTitle = Title.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
        info.lpfn = BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(InitialFolder);
        if (PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info)) {
            std::vector<wchar_t> path(32768, L'\0');
            if (SHGetPathFromIDListEx(list, path.data(), classlib::Win32Size<DWORD>(path.size()),
                                      GPFIDL_DEFAULT) ||
                SHGetPathFromIDListW(list, path.data())) {
                Folder = path.data();
                result = true;
            }
            CoTaskMemFree(list);
        }
    } catch (...) {
        result = false;
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return result;
}

// --- Numbers and digits ----------------------------------------------------------------

int HexDigitValue(wchar_t C) {
    if (C >= L'0' && C <= L'9') return C - L'0';
    if (C >= L'A' && C <= L'F') return C - L'A' + 10;
    if (C >= L'a' && C <= L'f') return C - L'a' + 10;
    return 0;
}

std::wstring HexDigitChar(int N) {
    if (N >= 10 && N <= 15) return std::wstring(1, static_cast<wchar_t>(L'A' + N - 10));
    return std::to_wstring(N);
}

uint64_t IntPower64(unsigned Exponent, uint64_t Base) {
    uint64_t result = 1;
    for (unsigned i = 0; i < Exponent; ++i) result *= Base;
    return result;
}

uint64_t RadixStrToInt64(const std::wstring& S, unsigned Radix) {
    if (Radix < 2) return 0;
    uint64_t sum = 0, place = 1;
    for (size_t i = S.size(); i-- > 0;) {
        sum += static_cast<uint64_t>(HexDigitValue(S[i])) * place;
        place *= Radix;
    }
    return sum;
}

uint32_t RadixStrToInt32(const std::wstring& S, unsigned Radix) {
    // Place values wrap in 32 bits; for every place value that fits in 64 bits this equals
    // the power truncated to its low 32 bits, and longer input still gives an orderly value.
    if (Radix < 2) return 0;
    uint32_t sum = 0, place = 1;
    for (size_t i = S.size(); i-- > 0;) {
        sum += static_cast<uint32_t>(HexDigitValue(S[i])) * place;
        place *= Radix;
    }
    return sum;
}

uint64_t DecStrToInt64(const std::wstring& S) {
    uint64_t sum = 0, place = 1;
    for (size_t i = S.size(); i-- > 0;) {
        if (S[i] >= L'0' && S[i] <= L'9') sum += static_cast<uint64_t>(S[i] - L'0') * place;
        place *= 10;
    }
    return sum;
}

std::wstring UInt64ToRadixStr(uint64_t Value, unsigned Radix) {
    if (Radix < 2) return {};
    if (Value == 0) return L"0";
    std::vector<std::wstring> digits;
    while (Value) {
        digits.push_back(HexDigitChar(static_cast<int>(Value % Radix)));
        Value /= Radix;
    }
    std::wstring out;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) out += *it;
    return out;
}

std::wstring UInt32ToRadixStr(uint32_t Value, unsigned Radix) {
    return UInt64ToRadixStr(Value, Radix);
}

std::wstring Int64ToHex16(uint64_t Value) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring out(16, L'0');
    for (int i = 15; i >= 0; --i, Value >>= 4) out[i] = digits[Value & 15];
    return out;
}

std::wstring Int64ToUnsignedStr(uint64_t Value) { return std::to_wstring(Value); }

// --- Text coding -----------------------------------------------------------------------

std::wstring WideStrToHex(const std::wstring& S) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring out;
    out.reserve(S.size() * 4);
    for (wchar_t c : S) {
        const unsigned lo = c & 0xFF, hi = (c >> 8) & 0xFF;
        out += digits[lo >> 4];
        out += digits[lo & 15];
        out += digits[hi >> 4];
        out += digits[hi & 15];
    }
    return out;
}

std::wstring HexToWideStr(const std::wstring& Hex) {
    auto isHex = [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
    };
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i + 1 < Hex.size(); i += 2) {
        if (!isHex(Hex[i]) || !isHex(Hex[i + 1])) break;
        bytes.push_back(static_cast<unsigned char>(HexDigitValue(Hex[i]) * 16 +
                                                   HexDigitValue(Hex[i + 1])));
    }
    std::wstring out;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const unsigned high = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        const wchar_t c = static_cast<wchar_t>(bytes[i] | (high << 8));
        if (c == 0) break;
        out += c;
    }
    return out;
}

// --- Files and folders -----------------------------------------------------------------

bool FileHasExt(const std::wstring& FileName, const std::wstring& Ext) {
    const size_t pos = FileName.find_last_of(L".\\:/");
    const std::wstring ext =
        pos != std::wstring::npos && FileName[pos] == L'.' ? FileName.substr(pos) : L"";
    if (ext.size() != Ext.size()) return false;
    return ext.empty() || CompareStringOrdinal(ext.data(), static_cast<int>(ext.size()),
                                               Ext.data(), static_cast<int>(Ext.size()),
                                               TRUE) == CSTR_EQUAL;
}

std::wstring GetLongPath(const std::wstring& Path) {
    try {
        std::vector<wchar_t> buffer(4096);
        DWORD n = GetLongPathNameW(Path.c_str(), buffer.data(), classlib::Win32Size<DWORD>(buffer.size()));
        if (n >= buffer.size()) {
            buffer.resize(n + 1);
            n = GetLongPathNameW(Path.c_str(), buffer.data(), classlib::Win32Size<DWORD>(buffer.size()));
        }
        if (n == 0 || n >= buffer.size()) return Path;
        return std::wstring(buffer.data(), n);
    } catch (...) {
        return Path;
    }
}

namespace {
std::wstring ChangeExt(const std::wstring& name, const std::wstring& ext) {
    const size_t pos = name.find_last_of(L".\\:/");
    if (pos != std::wstring::npos && name[pos] == L'.') return name.substr(0, pos) + ext;
    return name + ext;
}
}  // namespace

std::wstring MakeTempFileName(const std::wstring& Dir, const std::wstring& Prefix,
                              const std::wstring& Ext) {
    try {
        for (int attempt = 0; attempt < 100; ++attempt) {
            wchar_t buffer[MAX_PATH + 1] = {};
            if (!GetTempFileNameW(Dir.c_str(), Prefix.c_str(), 0, buffer)) return {};
            const std::wstring tmp = GetLongPath(buffer);
            const std::wstring final = ChangeExt(tmp, Ext);
            if (CompareStringOrdinal(final.c_str(), -1, tmp.c_str(), -1, TRUE) == CSTR_EQUAL)
                return final;  // the extension was already Ext
            HANDLE file = CreateFileW(final.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            DeleteFileW(tmp.c_str());
            if (file != INVALID_HANDLE_VALUE) {
                CloseHandle(file);
                return final;
            }
            if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
                return {};
        }
    } catch (...) {
    }
    return {};
}

std::wstring MakeTempFileNameInTempDir(const std::wstring& Prefix, const std::wstring& Ext) {
    wchar_t dir[4096 + 1] = {};
    if (!GetTempPathW(4096, dir)) return {};
    return MakeTempFileName(dir, Prefix, Ext);
}

void EnumFiles(const std::wstring& Dir, bool Recurse, TEnumFilesMode Mode,
               const TEnumFilesCallback& Callback) {
    try {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileExW((Dir + L"\\*").c_str(), FindExInfoStandard, &data,
                                       FindExSearchNameMatch, nullptr, 0);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (folder && (std::wcscmp(data.cFileName, L".") == 0 ||
                           std::wcscmp(data.cFileName, L"..") == 0))
                continue;
            const std::wstring fullPath = Dir + L"\\" + data.cFileName;
            if (Mode == efAll || (Mode == efFolders && folder) || (Mode == efFiles && !folder))
                if (Callback) Callback(fullPath, data);
            if (Recurse && folder) EnumFiles(fullPath, Recurse, Mode, Callback);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    } catch (...) {
    }
}

// --- Painting --------------------------------------------------------------------------

namespace {
COLORREF ToRGB(uint32_t color) {
    if ((color & 0xFF000000u) == 0xFF000000u) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFFu;
}
}  // namespace

void GradientFillLines(HDC DC, uint32_t StartColor, uint32_t EndColor, bool Horizontal,
                       const RECT& Rect, bool Reverse) {
    const COLORREF start = ToRGB(StartColor), end = ToRGB(EndColor);
    const int from = Horizontal ? Rect.left : Rect.top;
    const int farEdge = Horizontal ? Rect.right : Rect.bottom;
    if (farEdge == 0 || from >= farEdge) return;  // nothing to draw (and no division by zero)
    HGDIOBJ oldPen = SelectObject(DC, GetStockObject(DC_PEN));
    const COLORREF oldColor = GetDCPenColor(DC);
    auto channel = [&](int shift, long long pos) {
        const long long s = (start >> shift) & 0xFF, e = (end >> shift) & 0xFF;
        return static_cast<BYTE>((pos * e + (farEdge - pos) * s) / farEdge);
    };
    for (int pos = from; pos < farEdge; ++pos) {
        SetDCPenColor(DC, RGB(channel(0, pos), channel(8, pos), channel(16, pos)));
        const int at = Reverse ? farEdge - pos : pos;
        if (Horizontal) {
            MoveToEx(DC, at, Rect.top, nullptr);
            LineTo(DC, at, Rect.bottom);
        } else {
            MoveToEx(DC, Rect.left, at, nullptr);
            LineTo(DC, Rect.right, at);
        }
    }
    SetDCPenColor(DC, oldColor);
    SelectObject(DC, oldPen);
}

}  // namespace registry
