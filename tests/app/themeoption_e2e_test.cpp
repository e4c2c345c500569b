// The theme saved in "setting.db" is the theme in use after the start: the menus its popups
// show are laid out with that theme's measures, and a name no theme has keeps the default.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/test_support.h"
#include "driving.h"
#include "program.h"

#include <map>
#include <string>

namespace {

using namespace wendlartest;
using namespace wendlartest::driving;
using testsupport::PumpUntil;

class ThemeOption : public ProgramTest {
protected:
    // The height of the File menu's popup after a start with `theme` saved, or -1.
    int FileMenuHeight(const std::wstring& theme) {
        Setting.Write(L"[Main]\r\nThmTheme=" + theme + L"\r\n" + FirstRunSeen());
        const std::wstring name = testsupport::CurrentTestName();
        testsupport::ScratchKey key(name);
        Program program(L"\"HKEY_CURRENT_USER\\" + key.Path() + L"\"");
        HWND main = ForegroundMainWindow(program, name, L"TVxRegTreeView");
        if (!main) return -1;
        TapKey('F', VK_MENU);
        HWND popup = nullptr;
        if (!PumpUntil([&] { return (popup = VisiblePopup(main)) != nullptr; })) return -1;
        RECT r{};
        GetWindowRect(popup, &r);
        TapKey(VK_ESCAPE);
        TapKey(VK_ESCAPE);
        return r.bottom - r.top;
    }
};

TEST_F(ThemeOption, SavedThemeIsInUseAfterTheStart) {
    std::map<std::wstring, int> heights;
    for (const wchar_t* theme : {L"Default", L"OfficeXP", L"NoSuchTheme"}) {
        heights[theme] = FileMenuHeight(theme);
        ASSERT_GT(heights[theme], 0) << testsupport::Narrow(theme);
    }
    // The office theme's popup items are taller than the default theme's.
    EXPECT_NE(heights[L"OfficeXP"], heights[L"Default"]);
    EXPECT_EQ(heights[L"NoSuchTheme"], heights[L"Default"]) << "an unknown name keeps the default theme";
}

}  // namespace
