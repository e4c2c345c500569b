// The layout file "ToolBar.db".
#include <gtest/gtest.h>

#include "app/layoutfile.h"
#include "common/test_support.h"
#include "controls/toolbar/tbdock.h"

using namespace app;
using testsupport::Narrow;

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
