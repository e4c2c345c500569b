// The toolbar files: the stream of one toolbar, the folder with its index, and what damaged
// files do (nothing, but one line of the load's report).
#include "tools/uicustomize_files.h"

#include "classlib/compstream.h"
#include "classlib/errors.h"
#include "common/test_support.h"
#include "settings/inifile.h"
#include "tools/toolbarworld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using namespace tools;
using classlib::TStreamComponent;
using classlib::TStreamValue;
using tooltest::Describe;
using tooltest::ToolbarWorld;

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

void WriteFile(const std::wstring& name, const Bytes& bytes) {
    std::ofstream out(fs::path(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const std::wstring& name) {
    std::ifstream in(fs::path(name), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteIndex(const std::wstring& fileName, const std::vector<std::pair<std::wstring, std::wstring>>& sections) {
    settings::TVxMemIniFile index(fileName);
    for (const auto& [name, caption] : sections) index.WriteString(name, L"Caption", caption);
    index.UpdateFile();
}

// A toolbar stream made from a description.
TStreamComponent ToolbarOf(std::vector<TStreamComponent> items, std::vector<classlib::TStreamProperty> properties = {}) {
    TStreamComponent root;
    root.ClassName = L"TUiToolbar";
    root.Name = L"ToolBar1";
    root.Properties = std::move(properties);
    root.Children = std::move(items);
    return root;
}

TStreamComponent Item(const wchar_t* className, std::vector<classlib::TStreamProperty> properties = {},
                      std::vector<TStreamComponent> children = {}) {
    TStreamComponent c;
    c.ClassName = className;
    c.Properties = std::move(properties);
    c.Children = std::move(children);
    return c;
}

TStreamComponent Command(const wchar_t* reference) {
    return Item(L"TUiItem", {{L"Action", TStreamValue::Ident(reference)}});
}

}  // namespace

TEST(ToolbarStream, RoundTripKeepsItemsCaptionAndPlaceByteForByte) {
    ToolbarWorld world;
    ui::TUiToolbar* bar = world.UserToolbar(L"ToolBar1", L"私のツールバー", {L"aacTwo", L"sub:MenuFavorite", L"-"});
    bar->SetDockRow(2);
    bar->SetDockPos(37);
    const std::vector<std::wstring> items = Describe(*bar);
    const int row = bar->DockRow(), pos = bar->DockPos();
    const Bytes written = WriteToolbarStream(*bar, world.References);

    delete bar;
    ui::TUiToolbar* again = NewUserToolbar(world.Place(), L"ToolBar1", L"");
    ReadToolbarStream(written, *again, world.References);
    EXPECT_EQ(Describe(*again), items);
    EXPECT_EQ(again->Caption(), L"私のツールバー");
    EXPECT_EQ(again->DockRow(), row);
    EXPECT_EQ(again->DockPos(), pos);
    // The new items belong to the toolbar; the submenu item shows the submenu's items.
    for (int i = 0; i < again->Items()->Count(); ++i) EXPECT_EQ(again->Items()->Items(i)->Owner(), again);
    EXPECT_EQ(again->Items()->Items(1)->SubitemsSource(), world.Favorites);
    EXPECT_EQ(again->Items()->Items(0)->Caption(), L"二つ目");
    EXPECT_EQ(WriteToolbarStream(*again, world.References), written);

    // The references as they stand in the file.
    const TStreamComponent read = classlib::ReadComponentStream(written);
    ASSERT_EQ(read.Children.size(), 3u);
    EXPECT_EQ(read.Children[0].FindProperty(L"Action")->Value.Text, L"MainForm.aacTwo");
    EXPECT_EQ(read.Children[1].FindProperty(L"LinkSubitems")->Value.Text, L"MainForm.MenuFavorite");
}

TEST(ToolbarStream, DamagedOrOddStreamsChangeNothingOrOnlyWhatIsSound) {
    ToolbarWorld world;
    ui::TUiToolbar* bar = world.UserToolbar(L"ToolBar1", L"元のバー", {L"aacOne", L"-"});
    const std::vector<std::wstring> before = Describe(*bar);
    auto untouched = [&] {
        EXPECT_EQ(Describe(*bar), before);
        EXPECT_EQ(bar->Caption(), L"元のバー");
    };

    // Every truncation of a sound stream is refused before the toolbar is touched.
    const Bytes sound = classlib::WriteComponentStream(
        ToolbarOf({Command(L"MainForm.aacThree"), Item(L"TUiSeparatorItem")}, {{L"Caption", TStreamValue::String(L"新")}}));
    for (size_t length = 0; length < sound.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_THROW(ReadToolbarStream(std::span(sound.data(), length), *bar, world.References), classlib::EReadError);
        untouched();
    }

    Bytes pastEnd = classlib::WriteComponentStream(ToolbarOf({}, {{L"Caption", TStreamValue::String(L"新しいバー")}}));
    // The caption's code-unit count (after "TPF0", class, name, property name and type byte).
    const size_t countAt = 4 + 1 + 10 + 1 + 8 + 1 + 7 + 1;
    ASSERT_EQ(pastEnd[countAt - 1], classlib::vaWString);
    pastEnd[countAt + 3] = 0x10;

    Bytes deepBytes;
    {
        // Written by hand: the writer would go 10^4 levels deep as well.
        auto shortString = [&](const std::string& s) {
            deepBytes.push_back(static_cast<std::uint8_t>(s.size()));
            deepBytes.insert(deepBytes.end(), s.begin(), s.end());
        };
        deepBytes = {'T', 'P', 'F', '0'};
        shortString("TUiToolbar");
        shortString("ToolBar1");
        deepBytes.push_back(0);
        for (int i = 0; i < 10000; ++i) {
            shortString("TUiSubmenuItem");
            shortString("");
            deepBytes.push_back(0);
        }
        deepBytes.insert(deepBytes.end(), 10001, 0);
    }

    const struct {
        const char* Name;
        Bytes Data;
        std::optional<std::vector<std::wstring>> Items;  // none: refused and nothing changed
    } cases[] = {
        {"length past the end", pastEnd, std::nullopt},
        {"10^4-deep nesting", deepBytes, std::nullopt},
        {"root is no toolbar", classlib::WriteComponentStream(Item(L"TUiButton")), std::nullopt},
        {"a known property of the wrong type",
         classlib::WriteComponentStream(ToolbarOf({}, {{L"DockRow", TStreamValue::String(L"x")}})), std::nullopt},
        {"an unknown class is skipped",
         classlib::WriteComponentStream(ToolbarOf({Item(L"TFancyItem", {{L"Glow", TStreamValue::Int(3)}},
                                                        {Command(L"MainForm.aacOne")}),
                                                   Command(L"MainForm.aacFour")})),
         std::vector<std::wstring>{L"aacFour"}},
        {"an unknown property is skipped",
         classlib::WriteComponentStream(ToolbarOf(
             {Item(L"TUiItem", {{L"Sparkle", TStreamValue::Boolean(true)}, {L"Action", TStreamValue::Ident(L"MainForm.aacTwo")}})},
             {{L"Shimmer", TStreamValue::Int(70000)}})),
         std::vector<std::wstring>{L"aacTwo"}},
        {"a dangling reference drops its item",
         classlib::WriteComponentStream(ToolbarOf({Command(L"MainForm.aacGone"), Command(L"Other.aacOne"),
                                                   Command(L"MainForm.AddressBox"), Item(L"TUiSeparatorItem"),
                                                   Item(L"TUiSubmenuItem", {{L"LinkSubitems",
                                                                             TStreamValue::Ident(L"MainForm.aacOne")}})})),
         std::vector<std::wstring>{L"-"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        if (!c.Items) {
            EXPECT_THROW(ReadToolbarStream(c.Data, *bar, world.References), classlib::EReadError);
            untouched();
        } else {
            ReadToolbarStream(c.Data, *bar, world.References);
            EXPECT_EQ(Describe(*bar), *c.Items);
        }
    }
}

TEST(ToolbarStream, NumbersComeIntoRangeAndCaptionsLoseLineBreaks) {
    ToolbarWorld world;
    ui::TUiToolbar* bar = world.UserToolbar(L"ToolBar1", L"", {});
    ReadToolbarStream(classlib::WriteComponentStream(ToolbarOf(
                          {Item(L"TUiItem", {{L"Caption", TStreamValue::String(L"x")},
                                             {L"ImageIndex", TStreamValue::Int(INT64_C(1) << 40)}})},
                          {{L"Caption", TStreamValue::String(L"一行目\r\n二行目" + std::wstring(1, L'\0') + std::wstring(400, L'長'))},
                           {L"DockRow", TStreamValue::Int(INT32_MAX)},
                           {L"DockPos", TStreamValue::Int(-50)}})),
                      *bar, world.References);
    EXPECT_EQ(bar->DockRow(), 255);
    EXPECT_EQ(bar->DockPos(), -1);
    EXPECT_EQ(bar->Caption().substr(0, 6), L"一行目二行目");
    EXPECT_EQ(bar->Caption().size(), 255u);
    EXPECT_EQ(bar->Items()->Items(0)->ImageIndex(), 65535);
}

TEST(ToolbarFiles, OnlySoundSectionsLoadAndEachProblemIsOneLine) {
    ToolbarWorld world;
    testsupport::ScratchDir dir;
    const std::wstring index = dir.File(L"NewToolBar.db");
    ui::TUiToolbar* source = world.UserToolbar(L"ToolBarGood", L"ファイルの中の名前", {L"aacOne", L"-", L"aacFour"});
    WriteFile(dir.File(L"ToolBarGood"), WriteToolbarStream(*source, world.References));
    WriteFile(dir.File(L"ToolBarBig"), Bytes(MaxToolbarFileSize + 1, 0));
    WriteFile(dir.File(L"ToolBarBroken"), Bytes{'T', 'P', 'F', '0', 10});
    WriteFile(dir.File(L"AddressBox"), WriteToolbarStream(*source, world.References));
    WriteFile(dir.File(L"ToolMenuHide"), WriteToolbarStream(*source, world.References));
    delete source;
    WriteIndex(index, {{L"..\\x", L"上"},
                       {L"CON", L"装置"},
                       {L"AddressBox", L"箱"},
                       {L"ToolMenuHide", L"隠し"},
                       {L"ToolBarMissing", L"無い"},
                       {L"ToolBarBig", L"大きい"},
                       {L"ToolBarBroken", L"壊れた"},
                       {L"ToolBarGood", L"良い"}});
    const std::vector<std::wstring> hidden = Describe(*world.MenuHide);

    const TToolbarLoadReport report = LoadCustomToolbars(index, world.Place(), world.References, world.Excluded());
    EXPECT_EQ(report.Loaded, 1);
    EXPECT_EQ(report.Problems.size(), 7u);
    for (const std::wstring& problem : report.Problems) EXPECT_FALSE(problem.empty());
    auto* good = dynamic_cast<ui::TUiToolbar*>(world.Form->FindComponent(L"ToolBarGood"));
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(Describe(*good), (std::vector<std::wstring>{L"aacOne", L"-", L"aacFour"}));
    EXPECT_EQ(good->Caption(), L"ファイルの中の名前");
    EXPECT_EQ(good->CurrentDock(), world.Dock);
    EXPECT_EQ(good->Images(), world.Images);
    for (const wchar_t* name : {L"ToolBarMissing", L"ToolBarBig", L"ToolBarBroken", L"CON"})
        EXPECT_EQ(world.Form->FindComponent(name), nullptr) << testsupport::Narrow(name);
    EXPECT_EQ(Describe(*world.MenuHide), hidden);

    // The sections whose files did not load stay in the index when it is saved again, and
    // their files stay as they are.
    std::vector<std::wstring> kept;
    for (const TKeptToolbar& section : report.Kept) kept.push_back(section.Name + L"=" + section.Caption);
    EXPECT_EQ(kept, (std::vector<std::wstring>{L"ToolBarMissing=無い", L"ToolBarBig=大きい", L"ToolBarBroken=壊れた"}));
    const Bytes broken = ReadFile(dir.File(L"ToolBarBroken"));
    SaveCustomToolbars(dir.Path().wstring(), OwnedToolbars(*world.Form, world.Excluded()), world.References,
                       report.Kept);
    settings::TVxMemIniFile saved(index);
    wide::TWideStringList sections;
    saved.ReadSections(sections);
    std::vector<std::wstring> names;
    for (int i = 0; i < sections.Count(); ++i) names.push_back(sections.Get(i));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"ToolMenu", L"MainToolBar", L"ToolBarGood", L"ToolBarMissing",
                                                L"ToolBarBig", L"ToolBarBroken"}));
    EXPECT_EQ(saved.ReadString(L"ToolBarBroken", L"Caption", L""), L"壊れた");
    EXPECT_EQ(ReadFile(dir.File(L"ToolBarBroken")), broken);

    // A missing index loads nothing and says nothing.
    const TToolbarLoadReport none = LoadCustomToolbars(dir.File(L"無い.db"), world.Place(), world.References, {});
    EXPECT_EQ(none.Loaded, 0);
    EXPECT_TRUE(none.Problems.empty());
}

TEST(ToolbarFiles, SaveWritesEveryListedToolbarAndTheIndexLastInComponentOrder) {
    testsupport::ScratchDir dir;
    const std::wstring folder = dir.File(L"設定\\CustomToolBar");
    std::vector<std::wstring> main, user;
    {
        ToolbarWorld world;
        delete world.Main->Items()->Items(1);  // a command taken off the main toolbar
        main = Describe(*world.Main);
        ui::TUiToolbar* bar = world.UserToolbar(L"ToolBar2024112", L"ユーザー", {L"sub:MenuFavorite", L"aacThree"});
        user = Describe(*bar);
        SaveCustomToolbars(folder, OwnedToolbars(*world.Form, world.Excluded()), world.References);
    }
    settings::TVxMemIniFile index(folder + L"\\NewToolBar.db");
    wide::TWideStringList sections;
    index.ReadSections(sections);
    ASSERT_EQ(sections.Count(), 3);
    EXPECT_EQ(sections.Get(0), L"ToolMenu");
    EXPECT_EQ(sections.Get(1), L"MainToolBar");
    EXPECT_EQ(sections.Get(2), L"ToolBar2024112");
    EXPECT_EQ(index.ReadString(L"ToolBar2024112", L"Caption", L""), L"ユーザー");
    EXPECT_FALSE(fs::exists(fs::path(folder) / L"ToolMenuHide"));

    // A fresh start gets them back: the main toolbar without the command, the user toolbar
    // with its submenu linked.
    ToolbarWorld fresh;
    const TToolbarLoadReport report =
        LoadCustomToolbars(folder + L"\\NewToolBar.db", fresh.Place(), fresh.References, fresh.Excluded());
    EXPECT_TRUE(report.Problems.empty());
    EXPECT_EQ(report.Loaded, 3);
    EXPECT_EQ(Describe(*fresh.Main), main);
    auto* again = dynamic_cast<ui::TUiToolbar*>(fresh.Form->FindComponent(L"ToolBar2024112"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Describe(*again), user);
    EXPECT_EQ(again->Caption(), L"ユーザー");
}

TEST(ToolbarFiles, FailedSaveNamesTheFileAndKeepsTheOldIndex) {
    ToolbarWorld world;
    testsupport::ScratchDir dir;
    const std::wstring folder = dir.Path().wstring();
    WriteIndex(folder + L"\\NewToolBar.db", {{L"Old", L"前の内容"}});
    const Bytes oldIndex = ReadFile(folder + L"\\NewToolBar.db");
    // A folder where the main toolbar's file would go: it cannot be replaced.
    fs::create_directory(dir.Path() / L"MainToolBar");
    std::ofstream(dir.Path() / L"MainToolBar" / L"keep") << "x";
    const std::vector<std::wstring> main = Describe(*world.Main);
    try {
        SaveCustomToolbars(folder, OwnedToolbars(*world.Form, world.Excluded()), world.References);
        FAIL() << "the save did not fail";
    } catch (const classlib::Exception& e) {
        EXPECT_NE(e.Message().find(L"MainToolBar"), std::wstring::npos) << testsupport::Narrow(e.Message());
    }
    EXPECT_EQ(ReadFile(folder + L"\\NewToolBar.db"), oldIndex);
    EXPECT_EQ(Describe(*world.Main), main);
}

TEST(ToolbarFiles, NamesOfNewToolbarsAndFiles) {
    ToolbarWorld world;
    const SYSTEMTIME january12{2024, 1, 0, 12, 3, 4, 5, 6};
    const SYSTEMTIME november2{2024, 11, 0, 2, 3, 4, 5, 6};
    const std::wstring first = NewToolbarName(*world.Form, january12);
    EXPECT_EQ(first, L"ToolBar2024112345" L"6");
    NewUserToolbar(world.Place(), first, L"一月");
    // November 2 gives the same text: a counter follows.
    const std::wstring second = NewToolbarName(*world.Form, november2);
    EXPECT_EQ(second, first + L"_2");
    NewUserToolbar(world.Place(), second, L"十一月");
    EXPECT_EQ(NewToolbarName(*world.Form, january12), first + L"_3");

    const struct {
        const wchar_t* Name;
        bool FileName;
    } names[] = {{L"ToolBar20241123456", true}, {L"MainToolBar", true}, {L"..\\x", false}, {L"a:b", false},
                 {L"a\\b", false},          {L"", false},           {L"CON", false},   {L"nul", false},
                 {L"Com1", false},          {L"LPT9", false},       {L"COM10", true},  {L"1abc", false},
                 {L"ツール", false}};
    for (const auto& n : names) EXPECT_EQ(IsToolbarFileName(n.Name), n.FileName) << testsupport::Narrow(n.Name);
    EXPECT_FALSE(IsToolbarFileName(std::wstring(65, L'a')));
}
