#include "tools/regscript.h"

#include <windows.h>

#include <string_view>

namespace tools {

namespace {

// The header alone on its line: followed by CR, LF or the end of the text.
bool StartsWithHeaderLine(std::wstring_view text, std::wstring_view header) {
    if (text.substr(0, header.size()) != header) return false;
    return text.size() == header.size() || text[header.size()] == L'\r' || text[header.size()] == L'\n';
}

}  // namespace

bool HasRegScriptHeader(const std::string& firstBytes) {
    std::wstring text;
    if (firstBytes.size() >= 2 && firstBytes[0] == '\xFF' && firstBytes[1] == '\xFE') {
        text.resize((firstBytes.size() - 2) / 2);
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(firstBytes[2 + 2 * i]) |
                                           (static_cast<unsigned char>(firstBytes[3 + 2 * i]) << 8));
    } else {
        // Both headers are plain ASCII: any 8-bit encoding reads them alike.
        const size_t start = firstBytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
        for (size_t i = start; i < firstBytes.size(); ++i) text += static_cast<wchar_t>(static_cast<unsigned char>(firstBytes[i]));
    }
    return StartsWithHeaderLine(text, L"Windows Registry Editor Version 5.00") ||
           StartsWithHeaderLine(text, L"REGEDIT4");
}

bool IsRegScriptFile(const std::wstring& fileName) {
    HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string bytes(128, '\0');
    DWORD read = 0;
    const bool ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) != 0;
    CloseHandle(file);
    bytes.resize(read);
    return ok && HasRegScriptHeader(bytes);
}

}  // namespace tools
