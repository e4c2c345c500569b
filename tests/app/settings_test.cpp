// The options of "setting.db", section "Setting", the first-run marker and the layout file.
#include <gtest/gtest.h>

#include "app/layoutfile.h"
#include "app/mainoptions.h"
#include "common/test_support.h"
#include "controls/toolbar/tbdock.h"

using namespace app;
using testsupport::Narrow;

TEST(MainOptions, DefaultsAndParsing) {
    testsupport::ScratchDir dir;
    {
        settings::TVxMemIniFile file(dir.File(L"setting.db"));
        file.WriteString(L"Main", L"SetNoKeyUndo", L"0");
        file.WriteString(L"Main", L"SetIncTime", L"abc");  // no number: the default stays
        file.WriteString(L"Main", L"SetTabWidth", L"-1");
        file.WriteString(L"Main", L"ColorBoxReadOnly", L"-16777201");  // system button face
        file.WriteString(L"Main", L"ColorBoxSortCol", L"4294967295");  // low 32 bits
        file.WriteString(L"Main", L"SetRegTextEditor", L"C:\\ツール\\エディタ.exe");
        file.WriteString(L"Main", L"FontName", L"ＭＳ ゴシック");
        file.WriteString(L"Main", L"FontSize", L"9");
        file.UpdateFile();
    }
    const TMainOptions d = ReadMainOptions(settings::TVxMemIniFile(dir.File(L"missing.db")));
    EXPECT_EQ(d.ThmTheme, L"Default");
    EXPECT_TRUE(d.SetNoKeyUndo);
    EXPECT_TRUE(d.SetRepYajirusi);
    EXPECT_EQ(d.SetIncTime, 1000);
    EXPECT_EQ(d.SetTabWidth, 150);
    EXPECT_EQ(d.SetRegTextEditor, L"notepad.exe");
    EXPECT_EQ(static_cast<uint32_t>(d.ColorTabText), 0xFF000008u);
    EXPECT_EQ(static_cast<uint32_t>(d.ColorTabBack), 0xFF00000Fu);
    EXPECT_EQ(d.ColorTabGradStart, 0xC4CCCF);
    EXPECT_EQ(d.Font.Size, -1);

    TMainOptions gestureDefaults;
    gestureDefaults.SetGestureLength = 33;
    const TMainOptions o = ReadMainOptions(settings::TVxMemIniFile(dir.File(L"setting.db")), gestureDefaults);
    EXPECT_FALSE(o.SetNoKeyUndo);
    EXPECT_EQ(o.SetIncTime, 1000);
    EXPECT_EQ(o.SetTabWidth, -1);
    EXPECT_EQ(static_cast<uint32_t>(o.ColorReadOnly), 0xFF00000Fu);
    EXPECT_EQ(o.ColorSortColumn, -1);
    EXPECT_EQ(o.SetRegTextEditor, L"C:\\ツール\\エディタ.exe");
    EXPECT_EQ(o.Font.Name, L"ＭＳ ゴシック");
    EXPECT_EQ(o.SetGestureLength, 33);

    classlib::TFont font;
    const int before = font.Height();
    TFontOptions fonts;
    fonts.Height = -16;
    fonts.Size = 9;  // given after the height: the size wins
    ApplyFontOptions(fonts, font);
    EXPECT_EQ(font.Size(), 9);
    ApplyFontOptions(TFontOptions{}, font);
    EXPECT_EQ(font.Size(), 9) << "nothing given changes nothing (was " << before << ")";
}

// Section "Setting" keeps UTF-16 text as it is; the first run is marked once, before the
// terms of use would show.
TEST(MainOptions, SettingStringsAndFirstRun) {
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"setting.db");
    const std::wstring list = L"HKEY_CURRENT_USER\\Software\\日本語キー;HKEY_USERS\\Ω";
    WriteSettingString(file, L"FindList", list);
    EXPECT_EQ(ReadSettingString(file, L"FindList", L""), list);
    EXPECT_EQ(ReadSettingString(file, L"Missing", L"既定"), L"既定");

    EXPECT_TRUE(TakeFirstRunMarker(file));
    EXPECT_EQ(ReadSettingString(file, L"Infomation", L""), L"1");
    EXPECT_FALSE(TakeFirstRunMarker(file));
    EXPECT_EQ(ReadSettingString(file, L"FindList", L""), list) << "other keys stay";
}

TEST(LayoutFile, ItemsRoundTripInTheirKeyOrder) {
    testsupport::ScratchDir dir;
    settings::TVxMemIniFile file(dir.File(L"ToolBar.db"));
    TLayoutItem bar;
    bar.FloatX = 10;
    bar.FloatY = -20;
    bar.FloatW = 300;
    bar.Width = 200;
    bar.Height = 26;
    bar.Row = 1;
    bar.Pos = 57;
    bar.DockName = L"MainDock";
    bar.Visible = false;
    WriteLayoutItem(file, L"MainToolBar", TLayoutItemKind::Toolbar, bar);
    TLayoutItem panel = bar;
    panel.Float = true;
    panel.FloatH = 400;
    panel.SplitWidth = 5;
    panel.SplitHeight = 6;
    panel.DockName = L"CustomToolDock";
    WriteLayoutItem(file, L"CustomTools", TLayoutItemKind::DockablePanel, panel);
    WriteLayoutItem(file, L"AddrToolbar", TLayoutItemKind::ToolWindow, bar);

    // New keys go right after their header, so the file lists them newest first.
    std::vector<std::wstring> keys;
    for (int i = 1; i < file.Lines().Count() && file.Lines().Get(i)[0] != L'['; ++i)
        keys.push_back(file.Lines().Get(i).substr(0, file.Lines().Get(i).find(L'=')));
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"Visible", L"DockName", L"Pos", L"Row", L"Height", L"Width",
                                               L"FloatW", L"Float", L"FlortX", L"FlortY"}));

    TLayoutItem current;
    current.DockName = L"Other";
    EXPECT_EQ(ReadLayoutItem(file, L"MainToolBar", TLayoutItemKind::Toolbar, current).Pos, 57);
    const TLayoutItem readPanel = ReadLayoutItem(file, L"CustomTools", TLayoutItemKind::DockablePanel, current);
    EXPECT_EQ(readPanel.FloatH, 400);
    EXPECT_EQ(readPanel.SplitHeight, 6);
    EXPECT_TRUE(readPanel.Float);
    EXPECT_EQ(readPanel.DockName, L"Other") << "a floating panel reads no dock";
    const TLayoutItem tool = ReadLayoutItem(file, L"AddrToolbar", TLayoutItemKind::ToolWindow, current);
    EXPECT_FALSE(file.ValueExists(L"AddrToolbar", L"FloatW"));
    EXPECT_EQ(tool.DockName, L"MainDock");
    EXPECT_FALSE(tool.Visible);
    // A missing section leaves everything as it is.
    EXPECT_EQ(ReadLayoutItem(file, L"Nothing", TLayoutItemKind::Toolbar, current).DockName, L"Other");
}

// "DockName" resolves only to a dock owned by the main window, by exact name.
TEST(LayoutFile, DockNameResolvesOnlyToDocks) {
    classlib::TComponent owner(nullptr);
    auto* dock = new toolbar::TBarDock(&owner);
    dock->SetName(L"MainDock");
    auto* other = new classlib::TComponent(&owner);
    other->SetName(L"MainToolBar");
    EXPECT_EQ(FindDockByName(owner, L"MainDock"), dock);
    EXPECT_EQ(FindDockByName(owner, L"MainToolBar"), nullptr);
    EXPECT_EQ(FindDockByName(owner, L"maindock"), nullptr);
    EXPECT_EQ(FindDockByName(owner, L""), nullptr);
    EXPECT_EQ(FindDockByName(owner, L"Gone"), nullptr);
}

TEST(LayoutFile, WindowSectionAndClamping) {
    testsupport::ScratchDir dir;
    settings::TVxMemIniFile file(dir.File(L"ToolBar.db"));
    TWindowLayout layout;
    layout.Normal = {100, 50, 700, 450};
    layout.State = TLayoutWindowState::Maximized;
    layout.RegTree = 249;
    layout.RegTreeVisible = false;
    WriteWindowLayout(file, layout);
    EXPECT_EQ(file.ReadString(L"Wnd", L"Top", L""), L"50");
    EXPECT_EQ(file.ReadString(L"Wnd", L"Width", L""), L"600");
    EXPECT_EQ(file.ReadString(L"Wnd", L"State", L""), L"2");
    EXPECT_EQ(file.ReadString(L"Wnd", L"RegTreeVisible", L""), L"0");
    const TWindowLayout read = ReadWindowLayout(file, TWindowLayout{});
    EXPECT_TRUE(EqualRect(&read.Normal, &layout.Normal));
    EXPECT_EQ(read.State, TLayoutWindowState::Maximized);
    EXPECT_EQ(read.RegTree, 249);
    file.WriteString(L"Wnd", L"State", L"7");
    EXPECT_EQ(ReadWindowLayout(file, TWindowLayout{}).State, TLayoutWindowState::Normal);

    const RECT work{0, 0, 1280, 1000};
    struct Case {
        const char* what;
        RECT in, out;
    } cases[] = {
        {"inside", {100, 100, 500, 400}, {100, 100, 500, 400}},
        {"far right and below", {5000, 5000, 5300, 5200}, {980, 800, 1280, 1000}},
        {"left and above", {-900, -50, -500, 150}, {0, 0, 400, 200}},
        {"larger than the area", {-10, -10, 3000, 2000}, {0, 0, 1280, 1000}},
        {"empty", {10, 10, 10, 10}, {0, 0, 1280, 1000}},
    };
    for (const Case& c : cases) {
        const RECT r = ClampToWorkArea(c.in, work);
        EXPECT_TRUE(EqualRect(&r, &c.out)) << c.what << ": " << r.left << "," << r.top << "," << r.right << ","
                                           << r.bottom;
    }
}

// The saved position of a maximised window is its restored one.
TEST(LayoutFile, PlacementOfAMaximisedWindow) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 120, 80, 400, 300, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWMAXIMIZED);
    const TWindowLayout layout = WindowLayoutOf(window);
    DestroyWindow(window);
    EXPECT_EQ(layout.State, TLayoutWindowState::Maximized);
    EXPECT_EQ(layout.Normal.right - layout.Normal.left, 400);
    EXPECT_EQ(layout.Normal.bottom - layout.Normal.top, 300);
}
