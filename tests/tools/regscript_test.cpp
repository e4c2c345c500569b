// The import's check that a file is a registry script.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "tools/regscript.h"

#include <fstream>

using tools::HasRegScriptHeader;

namespace {

std::string Utf16(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

}  // namespace

TEST(RegScriptHeader, EitherHeaderAloneOnTheFirstLine) {
    struct Case {
        const char* what;
        std::string bytes;
        bool script;
    } cases[] = {
        {"unicode", Utf16(L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n"), true},
        {"unicode header only", Utf16(L"Windows Registry Editor Version 5.00"), true},
        {"version 4", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n", true},
        {"version 4, LF", "REGEDIT4\n", true},
        {"utf-8 with mark", "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n", true},
        {"plain text", "hello\r\n", false},
        {"empty", "", false},
        {"header later", "\r\nREGEDIT4\r\n", false},
        {"longer word", "REGEDIT45\r\n", false},
        {"unicode text", Utf16(L"メモ\r\n"), false},
        {"lower case", "regedit4\r\n", false},
    };
    for (const Case& c : cases) EXPECT_EQ(HasRegScriptHeader(c.bytes), c.script) << c.what;
}

TEST(RegScriptHeader, FilesAreReadFromTheStart) {
    testsupport::ScratchDir dir;
    const std::wstring script = dir.File(L"スクリプト.reg"), text = dir.File(L"text.reg");
    std::ofstream(std::filesystem::path(script), std::ios::binary) << "REGEDIT4\r\n";
    std::ofstream(std::filesystem::path(text), std::ios::binary) << "not a script\r\n";
    EXPECT_TRUE(tools::IsRegScriptFile(script));
    EXPECT_FALSE(tools::IsRegScriptFile(text));
    EXPECT_FALSE(tools::IsRegScriptFile(dir.File(L"missing.reg")));
}
