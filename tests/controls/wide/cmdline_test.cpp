// The program's own command-line splitting rules.
#include <gtest/gtest.h>

#include <vector>

#include "controls/wide/cmdline.h"
#include "controls/wide/wideutils.h"
#include "common/test_support.h"

using namespace wide;

namespace {

std::vector<std::wstring> Params(const wchar_t* commandLine) {
    std::vector<std::wstring> result;
    const int count = WideParamCount(commandLine);
    for (int i = 1; i <= count; ++i)
        result.push_back(WideParamStr(i, commandLine));
    return result;
}

TEST(CommandLine, Table) {
    const struct {
        const wchar_t* line;
        std::vector<std::wstring> params;
    } cases[] = {
        {L"prog", {}},
        {L"prog   ", {}},
        {L"prog \"HKEY_CURRENT_USER\\Software\\My Key\" x", {L"HKEY_CURRENT_USER\\Software\\My Key", L"x"}},
        {L"prog \"\" x", {L"x"}},
        {L"prog a\"\"b", {L"ab"}},
        {L"prog a\"b c\"d", {L"ab cd"}},
        {L"prog \"open to the end", {L"open to the end"}},
        {L"prog a \"", {L"a"}},
        {L"prog a \" b", {L"a", L" b"}},
        {L"prog a\tb\t\tc", {L"a", L"b", L"c"}},
        {L"\"C:\\Program Files\\w.exe\" C:\\dir\\ y", {L"C:\\dir\\", L"y"}},
        {L"prog \x0001" L"a\x001F" L"b", {L"a", L"b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.line));
        EXPECT_EQ(Params(c.line), c.params);
        EXPECT_EQ(WideParamStr(static_cast<int>(c.params.size()) + 1, c.line), L"");
    }
}

TEST(CommandLine, ParseNextParamStopsOnTheEndingCharacter) {
    std::wstring param;
    const wchar_t* text = L"  one two";
    const wchar_t* p = WideParseNextParam(text, param);
    EXPECT_EQ(param, L"one");
    EXPECT_EQ(p, text + 5);
    p = WideParseNextParam(p, param);
    EXPECT_EQ(param, L"two");
    p = WideParseNextParam(p, param);
    EXPECT_EQ(param, L"");
    EXPECT_EQ(*p, L'\0');
}

TEST(CommandLine, ParamStrZeroIsTheModuleFileName) {
    const std::wstring module = WideGetModuleFileName(nullptr);
    EXPECT_EQ(WideParamStr(0, L"something-else.exe a"), module);
    EXPECT_EQ(WideParamStr(0), module);
    EXPECT_EQ(WideParamStr(-1, L"prog a"), L"");
    EXPECT_NE(module.find(L":\\"), std::wstring::npos);
}

}  // namespace
