// The hot-key control and the colour box.
#include <gtest/gtest.h>

#include "classlib/menus.h"
#include "common/dialog_driving.h"
#include "common/test_support.h"
#include "ctl_support.h"
#include "controls/wide/widecolorbox.h"
#include "controls/wide/widehotkey.h"

#include <commctrl.h>

#include <vector>

using namespace wide;
using namespace ctltest;
using classlib::ShortCut;
using classlib::ssAlt;
using classlib::ssCtrl;
using classlib::ssShift;
using classlib::TColor;
using testsupport::Narrow;
using testsupport::PressKeys;
using testsupport::PumpUntil;

namespace {

class HotKeyColorBoxTest : public ::testing::Test, public FormFixture {};


// A colour box whose colour dialog answers as the test says.
class ScriptedColorBox : public TColorBox {
public:
    using TColorBox::TColorBox;
    std::vector<TColor> Asked;
    bool Answer = true;
    TColor Picked = 0x00336699;

protected:
    bool PickColor(TColor& colour) override {
        Asked.push_back(colour);
        if (Answer) colour = Picked;
        return Answer;
    }
};

// Moves the selection as the keyboard does in the closed box (the box tells its parent).
void KeyInBox(TColorBox& box, WORD key) {
    SendMessageW(box.Handle(), WM_KEYDOWN, key, 0);
    SendMessageW(box.Handle(), WM_KEYUP, key, 0xC0000000);
}

}  // namespace

// The system control's value: Ctrl+A is 0x241; the extended-key flag is set for the keys of
// the extended part and dropped when reading.
TEST(HotKeyValue, ConvertsBothWays) {
    struct Case {
        WORD value;
        classlib::TShortCut shortCut;
    } cases[] = {
        {0x241, ShortCut('A', ssCtrl)},
        {MAKEWORD('W', HOTKEYF_CONTROL | HOTKEYF_ALT), ShortCut('W', ssCtrl | ssAlt)},
        {MAKEWORD(VK_F5, HOTKEYF_SHIFT), ShortCut(VK_F5, ssShift)},
        {MAKEWORD(VK_DELETE, HOTKEYF_EXT), ShortCut(VK_DELETE, 0)},
        {MAKEWORD(VK_HOME, HOTKEYF_EXT | HOTKEYF_CONTROL), ShortCut(VK_HOME, ssCtrl)},
        {MAKEWORD('7', 0), ShortCut('7', 0)},
        {0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(classlib::ShortCutToText(c.shortCut)));
        EXPECT_EQ(HotKeyValueToShortCut(c.value), c.shortCut);
        EXPECT_EQ(ShortCutToHotKeyValue(c.shortCut), c.value);
    }
    EXPECT_EQ(HotKeyValueToShortCut(MAKEWORD(0, HOTKEYF_CONTROL)), 0) << "modifiers alone are no shortcut";
}

// The control shows what is set, takes a combination the user presses (telling OnChange),
// keeps a key pressed alone, and keeps its value when its window is made again.
TEST_F(HotKeyColorBoxTest, HotKeyTakesPressedCombinations) {
    auto* hotKey = Add<THotKey>(8, 8, 160, 22);
    int changes = 0;
    hotKey->OnChange = [&](classlib::TComponent*) { ++changes; };
    hotKey->SetHotKey(ShortCut('K', ssCtrl));
    Show();
    EXPECT_EQ(SendMessageW(hotKey->Handle(), HKM_GETHOTKEY, 0, 0), MAKEWORD('K', HOTKEYF_CONTROL));
    EXPECT_EQ(changes, 0);

    SetForegroundWindow(Form->Handle());
    hotKey->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == hotKey->Handle(); }));
    PressKeys({VK_CONTROL, VK_MENU, 'W'});
    EXPECT_TRUE(PumpUntil([&] { return hotKey->HotKey() == ShortCut('W', ssCtrl | ssAlt); }))
        << Narrow(classlib::ShortCutToText(hotKey->HotKey()));
    EXPECT_GT(changes, 0);

    PressKeys({'Q'});
    EXPECT_TRUE(PumpUntil([&] { return hotKey->HotKey() == ShortCut('Q', 0); }))
        << Narrow(classlib::ShortCutToText(hotKey->HotKey()));

    hotKey->RecreateWnd();
    EXPECT_EQ(hotKey->HotKey(), ShortCut('Q', 0));
    hotKey->SetHotKey(0);
    EXPECT_EQ(hotKey->HotKey(), 0);
}

TEST(ColorBoxEntries, NamesAndStyles) {
    struct Case {
        TColor color;
        const wchar_t* name;
    } cases[] = {
        {classlib::clBlack, L"Black"},
        {classlib::clFuchsia, L"Fuchsia"},
        {0xC0DCC0, L"Money Green"},
        {0xA4A0A0, L"Medium Gray"},
        {classlib::clWindowText, L"Window Text"},
        {classlib::clBtnFace, L"Button Face"},
        {classlib::clMenuBar, L"Menu Bar"},
        {classlib::clNone, L"None"},
        {classlib::clDefault, L"Default"},
        {0x00F7F7F7, L"#F7F7F7"},
        {0x00123456, L"#563412"},
        {static_cast<TColor>(0xFF000019), L"$FF000019"},  // system colour 25 does not exist
        {0x01000000, L"$01000000"},
    };
    for (const Case& c : cases) EXPECT_EQ(ColorDisplayName(c.color), c.name);

    EXPECT_EQ(ColorBoxEntries(cbStandardColors).size(), 16u);
    EXPECT_EQ(ColorBoxEntries(cbExtendedColors).size(), 4u);
    const std::vector<TColorBoxEntry> system = ColorBoxEntries(cbSystemColors);
    EXPECT_EQ(system.size(), 30u);
    for (const TColorBoxEntry& entry : system) EXPECT_NE(entry.Color, static_cast<TColor>(0xFF000019));
    const std::vector<TColorBoxEntry> all =
        ColorBoxEntries(cbStandardColors | cbExtendedColors | cbSystemColors | cbIncludeDefault | cbIncludeNone);
    ASSERT_EQ(all.size(), 52u);
    EXPECT_EQ(all.front().Name, L"Black");
    EXPECT_EQ(all[16].Name, L"Money Green");
    EXPECT_EQ(all[20].Name, L"Scroll Bar");
    EXPECT_EQ(all[50].Color, classlib::clDefault);
    EXPECT_EQ(all[51].Color, classlib::clNone);
}

// A colour without an entry gets one; the user's choice is told through OnChange; the
// custom entry asks the colour dialog, and a cancel there keeps the colour.
TEST_F(HotKeyColorBoxTest, ColorBoxSelectsAndPicks) {
    auto* box = Add<ScriptedColorBox>(8, 8, 200, 22);
    box->SetColorStyle(cbStandardColors | cbExtendedColors | cbSystemColors | cbCustomColor | cbIncludeDefault);
    std::vector<TColor> changes;
    box->OnChange = [&](classlib::TComponent*) { changes.push_back(box->Selected()); };
    box->SetSelected(0xF7F7F7);
    Show();
    ASSERT_EQ(box->ColorNames(0), L"Custom...");
    EXPECT_EQ(box->ColorNames(1), L"#F7F7F7");
    EXPECT_EQ(box->ItemIndex(), 1);
    EXPECT_EQ(box->Items().Get(1), L"#F7F7F7");
    EXPECT_TRUE(changes.empty());

    box->SetSelected(classlib::clDefault);
    EXPECT_EQ(box->ColorNames(box->ItemIndex()), L"Default");
    box->SetSelected(classlib::clRed);
    KeyInBox(*box, VK_DOWN);
    EXPECT_EQ(box->Selected(), classlib::clLime);
    EXPECT_EQ(changes, std::vector<TColor>{classlib::clLime});

    KeyInBox(*box, VK_HOME);  // the custom entry: the dialog opens at the last custom colour
    ASSERT_EQ(box->Asked.size(), 1u);
    EXPECT_EQ(box->Selected(), 0x00336699);
    EXPECT_EQ(box->ColorNames(box->ItemIndex()), L"#996633");
    EXPECT_EQ(box->Colors(0), 0x00336699);
    EXPECT_EQ(changes.back(), 0x00336699);

    box->Answer = false;
    box->Picked = classlib::clAqua;
    KeyInBox(*box, VK_HOME);
    EXPECT_EQ(box->Asked.size(), 2u);
    EXPECT_EQ(box->Asked.back(), 0x00336699);
    EXPECT_EQ(box->Selected(), 0x00336699);
    EXPECT_EQ(box->Colors(box->ItemIndex()), 0x00336699);
    EXPECT_EQ(changes.size(), 2u);

    // A picked colour that has an entry selects that entry.
    box->Answer = true;
    KeyInBox(*box, VK_HOME);
    EXPECT_EQ(box->Selected(), classlib::clAqua);
    EXPECT_EQ(box->ColorNames(box->ItemIndex()), L"Aqua");

    // The swatch of the shown entry is drawn in its colour.
    box->SetSelected(classlib::clRed);
    testsupport::MemoryDib dib(box->Width(), box->Height(), RGB(1, 2, 3));
    SendMessageW(box->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dib.DC), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    EXPECT_GT(dib.Count(RGB(255, 0, 0)), 20);
}
