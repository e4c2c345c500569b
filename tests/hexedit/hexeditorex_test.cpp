// The extended hex editor control: persisted property lines, the backup before saving over
// the loaded file, wheel zoom, shortcuts, double click and the offset popup area.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "classlib/menus.h"
#include "hex_test_util.h"
#include "hexedit/hexeditorex.h"

using namespace hexedit;

using namespace hextest;

namespace {

class TestHexEx : public THexEditorEx {
public:
    using THexEditorEx::THexEditorEx;
    using THexEditorEx::KeyDown;
};

std::string ReadFile(const std::wstring& name) {
    std::ifstream in(std::filesystem::path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::wstring& name, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(name), std::ios::binary);
    out << bytes;
}

bool HasLine(const std::wstring& text, const std::wstring& line) {
    return (L"\r\n" + text).find(L"\r\n" + line + L"\r\n") != std::wstring::npos;
}

LRESULT Wheel(THexEditorEx& e, WORD keys, bool down) {
    return e.Perform(classlib::CM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(down ? -WHEEL_DELTA : WHEEL_DELTA)), 0);
}

TEST(HexEditorExProperties, FreshControlSavesItsDefaults) {
    THexEditorEx e(nullptr);
    const std::wstring text = e.SavePropertiesToText();
    for (const wchar_t* line :
         {L"BytesPerRow=16", L"MaxUndo=1048576", L"CreateBackup=True", L"BackupExtension=.bak", L"Colors.Offset=0",
          L"Colors.Background=-16777211", L"Translation=0", L"CaretKind=3", L"MaskChar=46", L"ZoomOnWheel=True",
          L"Font.Size=11", L"Font.Style=0", L"PrintFont.Size=11", L"OffsetFormat=-!10:0x|"})
        EXPECT_TRUE(HasLine(text, line)) << testsupport::Narrow(line);
    EXPECT_EQ(std::wstring::npos, text.find(L"Tag="));
    EXPECT_EQ(std::wstring::npos, text.find(L"WantTabs="));  // published but not persisted
    EXPECT_EQ(L"\r\n", text.substr(text.size() - 2));
}

TEST(HexEditorExProperties, LoadAppliesPersistedLinesAndSkipsOthers) {
    THexEditorEx e(nullptr);
    e.LoadPropertiesFromText(L"BytesPerRow=8\r\nTag=5\r\nshowruler=True\nTranslation=tkMac\r\nCaretKind=1\r\n"
                             L"Colors.OffsetBackGround=255\r\nFont.Style=3\r\nMaskChar=42\r\nno equals sign\r\n");
    EXPECT_EQ(8, e.BytesPerRow());
    EXPECT_TRUE(e.ShowRuler());
    EXPECT_EQ(tkMac, e.Translation());
    EXPECT_EQ(ckLeft, e.CaretKind());
    EXPECT_EQ(255u, e.Colors().OffsetBackground());
    EXPECT_EQ(classlib::fsBold | classlib::fsItalic, e.Font().Style());
    EXPECT_EQ(L'*', e.MaskChar());
    EXPECT_EQ(0, e.PaintLock());

    // The text of one control rebuilds the same settings on another.
    THexEditorEx copy(nullptr);
    copy.LoadPropertiesFromText(e.SavePropertiesToText());
    EXPECT_EQ(e.SavePropertiesToText(), copy.SavePropertiesToText());
}

TEST(HexEditorExProperties, BadValueStopsTheLoadWithTheSettersMessage) {
    THexEditorEx e(nullptr);
    EXPECT_EQ("Invalid bytes per line argument",
              HEX_MESSAGE(e.LoadPropertiesFromText(L"ShowRuler=True\r\nBytesPerRow=0\r\nDrawGridLines=True\r\n")));
    EXPECT_TRUE(e.ShowRuler());
    EXPECT_FALSE(e.DrawGridLines());
    EXPECT_EQ(16, e.BytesPerRow());
    EXPECT_EQ(0, e.PaintLock());
    EXPECT_NE("<no exception>", HEX_MESSAGE(e.LoadPropertiesFromText(L"GutterWidth=wide\r\n")));
    EXPECT_NE("<no exception>", HEX_MESSAGE(e.LoadPropertiesFromText(L"ReadOnlyView=perhaps\r\n")));
}

TEST(HexEditorExProperties, QueryEventMayVetoOnlyPersistedNames) {
    THexEditorEx e(nullptr);
    std::vector<std::wstring> asked;
    e.OnQueryPublicProperty = [&](THexEditorEx*, const std::wstring& name, bool& isPublic) {
        asked.push_back(name);
        if (name == L"MaxUndo") isPublic = false;
    };
    EXPECT_FALSE(HasLine(e.SavePropertiesToText(), L"MaxUndo=1048576"));
    asked.clear();
    e.LoadPropertiesFromText(L"MaxUndo=5\r\nTag=1\r\n");
    EXPECT_EQ(1048576, e.MaxUndo());
    EXPECT_EQ(std::vector<std::wstring>{L"MaxUndo"}, asked);
}

TEST(HexEditorExBackup, SavingOverTheLoadedFileKeepsTheOldOneAsBackup) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"a.bin"), backup = dir.File(L"a.bin.bak");
    WriteFile(file, "0123456789");
    THexEditorEx e(nullptr);
    e.LoadFromFile(file);
    ASSERT_FALSE(e.IsFileReadOnly());

    e.SaveToFile(file, true);  // unchanged: no backup
    EXPECT_FALSE(std::filesystem::exists(backup));

    WriteFile(backup, "older backup");
    static_cast<TCustomHexEditor&>(e).KeyPress(L'F');
    e.SaveToFile(file, true);
    EXPECT_EQ("0123456789", ReadFile(backup));
    EXPECT_EQ(0xF0 | ('0' & 0x0F), static_cast<uint8_t>(ReadFile(file)[0]));

    // A backup that cannot be replaced stops the save and leaves the file alone.
    std::filesystem::remove(backup);
    std::filesystem::create_directory(backup);
    static_cast<TCustomHexEditor&>(e).KeyPress(L'1');
    const std::string before = ReadFile(file);
    const std::string message = HEX_MESSAGE(e.SaveToFile(file, true));
    EXPECT_EQ(0u, message.find("Cannot delete previous backup ")) << message;
    EXPECT_NE(std::string::npos, message.find("a.bin.bak. (")) << message;
    EXPECT_EQ(before, ReadFile(file));

    // Without CreateBackup the file is simply replaced.
    e.SetCreateBackup(false);
    e.SaveToFile(file, true);
    EXPECT_NE(before, ReadFile(file));
}

TEST(HexEditorExWheel, CtrlChangesTheRowLengthAndCtrlShiftTheFontSize) {
    THexEditorEx e(nullptr);
    Load(e, Counting(256 * 40));
    EXPECT_EQ(1, Wheel(e, MK_CONTROL, true));
    EXPECT_EQ(15, e.BytesPerRow());
    Wheel(e, MK_CONTROL, false);
    EXPECT_EQ(16, e.BytesPerRow());

    // At 256 the notch pages instead.
    e.SetBytesPerRow(256);
    e.SetTopRow(20);
    const int top = e.TopRow();
    EXPECT_EQ(1, Wheel(e, MK_CONTROL, false));
    EXPECT_EQ(256, e.BytesPerRow());
    EXPECT_LT(e.TopRow(), top);

    e.Font().SetSize(3);
    Wheel(e, MK_CONTROL | MK_SHIFT, true);
    EXPECT_EQ(2, e.Font().Size());
    e.SetTopRow(2);
    Wheel(e, MK_CONTROL | MK_SHIFT, true);
    EXPECT_EQ(2, e.Font().Size());
    EXPECT_GT(e.TopRow(), 2);  // paged down
    Wheel(e, MK_CONTROL | MK_SHIFT, false);
    EXPECT_EQ(3, e.Font().Size());

    // Unicode mode keeps even row lengths.
    e.SetBytesPerRow(16);
    e.SetUnicodeChars(true);
    Wheel(e, MK_CONTROL, true);
    EXPECT_EQ(14, e.BytesPerRow());

    e.SetZoomOnWheel(false);
    Wheel(e, MK_CONTROL, true);
    EXPECT_EQ(14, e.BytesPerRow());
}

TEST(HexEditorExKeys, SelectAllUndoAndRedoShortcuts) {
    TestHexEx e(nullptr);
    Load(e, Counting(8));
    static_cast<TCustomHexEditor&>(e).KeyPress(L'F');
    EXPECT_EQ(0xF0, e.ReadByte(0));
    WORD key = 'Z';
    e.KeyDown(key, classlib::ssCtrl);
    EXPECT_EQ(0x00, e.ReadByte(0));
    key = 'Z';
    e.KeyDown(key, classlib::ssCtrl | classlib::ssShift);
    EXPECT_EQ(0xF0, e.ReadByte(0));
    key = 'A';
    e.KeyDown(key, classlib::ssCtrl);
    EXPECT_EQ(0, e.SelectionFirst());
    EXPECT_EQ(7, e.SelectionLast());

    EXPECT_TRUE(e.CanCopy());
    EXPECT_TRUE(e.CanCut());
    e.SetNoSizeChange(true);
    EXPECT_TRUE(e.CanCopy());
    EXPECT_FALSE(e.CanCut());
}

TEST(HexEditorExMouse, DoubleClickSelectsTheUnitAndTheMouseUpKeepsIt) {
    THexEditorEx e(nullptr);
    Load(e, Counting(64));
    e.SetBytesPerUnit(2);
    const RECT r = e.CellRect(2 + 2 * 5, 3);  // byte 21
    const LPARAM at = MAKELPARAM(r.left + 1, r.top + 2);
    int clicks = 0;
    e.OnDblClick = [&](classlib::TComponent*) { ++clicks; };
    e.Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    e.Perform(WM_LBUTTONUP, 0, at);
    e.Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    e.Perform(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(20, e.SelectionFirst());
    EXPECT_EQ(21, e.SelectionLast());
}

TEST(HexEditorExMouse, OffsetPopupAreaAndMenuLifetime) {
    THexEditorEx e(nullptr);
    Load(e, Counting(64));
    e.SetShowRuler(true);
    const RECT data = e.CellRect(4, 3), offset = e.CellRect(0, 3), ruler = e.CellRect(6, 0);
    EXPECT_TRUE(e.IsOffsetPopupPoint(offset.left + 2, offset.top + 2));
    EXPECT_TRUE(e.IsOffsetPopupPoint(ruler.left + 2, ruler.top + 2));
    EXPECT_FALSE(e.IsOffsetPopupPoint(data.left + 2, data.top + 2));

    auto* menu = new classlib::TPopupMenu(nullptr);
    e.SetOffsetPopupMenu(menu);
    EXPECT_EQ(menu, e.OffsetPopupMenu());
    delete menu;
    EXPECT_EQ(nullptr, e.OffsetPopupMenu());
}

}  // namespace
