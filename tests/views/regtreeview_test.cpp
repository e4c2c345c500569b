// The key tree: reading on demand, row facts found when painted, jumping to a path,
// refreshes, hives, texts and images.
#include <algorithm>

#include "classlib/runtime.h"
#include "classlib/scopeguard.h"
#include "registry/reghive.h"
#include "views_fixture.h"

#include <sddl.h>

using gridtree::PGridNode;

namespace {

std::vector<std::wstring> ChildNames(views::TVxRegTreeView& Tree, PGridNode Node) {
    std::vector<std::wstring> names;
    for (PGridNode n = Node->FirstChildNode; n; n = n->NextSiblingNode) names.push_back(Tree.GetNodeCaption(n));
    std::sort(names.begin(), names.end());
    return names;
}

PGridNode ChildNamed(views::TVxRegTreeView& Tree, PGridNode Node, const std::wstring& Name) {
    for (PGridNode n = Node ? Node->FirstChildNode : nullptr; n; n = n->NextSiblingNode)
        if (Tree.GetNodeCaption(n) == Name) return n;
    return nullptr;
}

// Grants everyone only reading (or everything again) on HKCU\Path.
void SetKeyReadOnly(const std::wstring& Path, bool ReadOnly) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, Path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key));
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(ReadOnly ? L"D:P(A;;KR;;;WD)" : L"D:(A;;KA;;;WD)",
                                                                     SDDL_REVISION_1, &sd, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd));
    LocalFree(sd);
    RegCloseKey(key);
}

int CountIn(const testsupport::MemoryDib& Dib, COLORREF Colour, const RECT& R) {
    int count = 0;
    for (int y = std::max<LONG>(R.top, 0); y < std::min<LONG>(R.bottom, Dib.Height); ++y)
        for (int x = std::max<LONG>(R.left, 0); x < std::min<LONG>(R.right, Dib.Width); ++x)
            count += Dib.Pixel(x, y) == Colour;
    return count;
}

}  // namespace

TEST_F(ViewsTest, TreeReadsKeysWhenExpandedAndRowFactsWhenPainted) {
    EXPECT_EQ(int(sizeof(views::TVxRegTreeNodeData)), Tree->NodeDataSize());
    // Every third key has a subkey of its own.
    for (int i = 0; i < 70; ++i)
        MakeKey(P(L"Many\\K" + std::to_wstring(100 + i) + (i % 3 == 0 ? L"\\Sub" : L"")));
    Tree->AddLocalComputerRoot(L"");
    PGridNode computer = Tree->GetFirstChild(nullptr);
    ASSERT_NE(nullptr, computer);
    EXPECT_TRUE(Tree->Expanded(computer));
    EXPECT_TRUE(Tree->Selected(computer));
    EXPECT_EQ(L"マイコンピュータ", Tree->GetNodeCaption(computer));
    EXPECT_EQ(0u, Tree->ChildCount(ChildNamed(*Tree, computer, L"HKEY_CURRENT_USER"))) << "roots are read on expansion";

    Tree->JumpToPath(Full(L"Many"));
    ASSERT_EQ(Full(L"Many"), SelectedPath());
    PGridNode many = Tree->GetFirstSelected();
    // The key a jump ends on is read when its rows are first needed; expanding it is one need.
    EXPECT_EQ(0u, Tree->ChildCount(many));
    Tree->SetExpanded(many, true);
    ASSERT_EQ(70u, Tree->ChildCount(many));
    for (PGridNode n = many->FirstChildNode; n; n = n->NextSiblingNode) {
        EXPECT_EQ(0u, Tree->ChildCount(n));
        EXPECT_FALSE(Tree->NodeData(n)->SubKeysChecked);
        EXPECT_FALSE(Tree->NodeData(n)->Key->ReadOnlyChecked);
    }

    // The jump put the key at the top: painting finds the facts of the rows on screen only.
    Print(*Tree);
    int checked = 0;
    for (PGridNode n = many->FirstChildNode; n; n = n->NextSiblingNode) {
        const views::TVxRegTreeNodeData& data = *Tree->NodeData(n);
        if (!data.SubKeysChecked) break;
        ++checked;
        EXPECT_TRUE(data.Key->ReadOnlyChecked);
        const bool hasSub = (n->Index % 3) == 0;
        EXPECT_EQ(hasSub, data.HasSubKeys) << n->Index;
        EXPECT_EQ(hasSub, Tree->HasChildren(n)) << n->Index;
    }
    EXPECT_GT(checked, 5);
    EXPECT_LT(checked, 40);
    for (PGridNode n = many->FirstChildNode; n; n = n->NextSiblingNode) {
        if (int(n->Index) >= checked) {
            EXPECT_FALSE(Tree->NodeData(n)->SubKeysChecked) << n->Index;
        }
    }

    Tree->SetExpanded(many->FirstChildNode, true);
    EXPECT_EQ(std::vector<std::wstring>{L"Sub"}, ChildNames(*Tree, many->FirstChildNode));

    // Among many siblings a key is found by its name as well, also after the level changed.
    Tree->JumpToPath(Full(L"MANY\\k165"));
    EXPECT_EQ(Full(L"Many\\K165"), SelectedPath());
    MakeKey(P(L"Many\\Late"));
    Tree->JumpToPath(Full(L"Many\\late"));
    EXPECT_EQ(Full(L"Many"), SelectedPath()) << "not read yet";
    Tree->RefreshAllKeys();
    Tree->JumpToPath(Full(L"Many\\late"));
    EXPECT_EQ(Full(L"Many\\Late"), SelectedPath());
}

TEST_F(ViewsTest, JumpToPath) {
    MakeKey(P(L"Alpha\\Beta"));
    MakeKey(P(L"Alpha\\Gamma"));
    SetSz(P(L"Alpha"), L"Val", L"v");
    SetSz(P(L"Alpha"), L"Gamma", L"a value named like a subkey");
    SetSz(P(L"Alpha"), L"Delta", L"a value named like a missing key's subkey");
    SetSz(P(L"Alpha"), L"Path\\Like", L"a value whose name holds a backslash");
    Form->Show();
    Tree->AddLocalComputerRoot(L"");
    PGridNode computer = Tree->GetFirstChild(nullptr);
    std::wstring arrows = L"HKCU→" + P(L"Alpha");
    std::replace(arrows.begin(), arrows.end(), L'\\', L'→');
    struct Case {
        const char* What;
        std::wstring Path;
        bool AllowReplace;
        std::wstring Key;    // the selected key, "-" for none
        std::wstring Value;  // the selected row of the list
        bool ListFocused;
    };
    const Case cases[] = {
        {"full path", Full(L"Alpha"), false, Full(L"Alpha"), L"", false},
        {"abbreviated root, key names in any case", L"HKCU\\" + classlib::WideUpperCase(P(L"alpha\\beta")), false,
         Full(L"Alpha\\Beta"), L"", false},
        {"abbreviations are case-sensitive", L"hkcu\\" + P(L"Alpha"), false, L"-", L"", true},
        {"the whole path in another case", classlib::WideLowerCase(Full(L"Alpha\\Beta")), false,
         Full(L"Alpha\\Beta"), L"", false},
        {"the whole path in upper case, ending on a value", classlib::WideUpperCase(Full(L"Alpha\\Val")), false,
         Full(L"Alpha"), L"Val", true},
        {"arrows with AllowReplace", arrows, true, Full(L"Alpha"), L"", false},
        {"arrows without", arrows, false, L"-", L"", true},
        {"trailing backslash", Full(L"Alpha") + L"\\", false, Full(L"Alpha"), L"", false},
        {"a value name as the last part", Full(L"Alpha\\Val"), false, Full(L"Alpha"), L"Val", true},
        {"value names in another case", Full(L"Alpha\\vAL"), false, Full(L"Alpha"), L"Val", true},
        {"a value name that holds a backslash", Full(L"Alpha\\path\\like"), false, Full(L"Alpha"), L"Path\\Like",
         true},
        {"a subkey goes before a value of its name", Full(L"Alpha\\Gamma"), false, Full(L"Alpha\\Gamma"), L"",
         false},
        {"a missing key ends on the deepest that exists", Full(L"Alpha\\Nothing\\Delta"), false, Full(L"Alpha"),
         L"Delta", true},
        {"an empty part matches nothing", L"HKCU\\\\Software", false, L"HKEY_CURRENT_USER", L"", true},
        {"empty path", L"", false, L"-", L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Tree->SetSelected(computer, true);
        Tree->SetFocus();
        ASSERT_EQ(0u, List->RootNodeCount()) << "the computer node shows no values";
        Tree->SetAllowReplace(c.AllowReplace);
        Tree->JumpToPath(c.Path);
        EXPECT_EQ(c.Key, SelectedPath());
        const auto* value = List->GetSelectedValue();
        EXPECT_EQ(c.Value, value ? value->FValueName : L"");
        EXPECT_EQ(c.ListFocused, List->Focused());
        if (c.Key != L"-") {
            EXPECT_GT(List->RootNodeCount(), 0u) << "the list shows the selected key";
        }
    }
}

TEST_F(ViewsTest, TreeColoursReadOnlyKeysAndTheirList) {
    MakeKey(P(L"Locked"));
    MakeKey(P(L"Open"));
    SetKeyReadOnly(P(L"Locked"), true);
    auto unlock = classlib::ScopeExit([&] { SetKeyReadOnly(P(L"Locked"), false); });
    constexpr COLORREF LineColour = RGB(0x30, 0xA0, 0x50);
    Tree->SetReadOnlyLineColor(classlib::TColor(LineColour));
    Tree->AddLocalComputerRoot(L"");
    Print(*Tree);
    for (PGridNode root = Tree->GetFirstChild(nullptr)->FirstChildNode; root; root = root->NextSiblingNode)
        EXPECT_FALSE(Tree->NodeData(root)->Key->ReadOnlyChecked) << "roots are not tested by painting";

    Tree->JumpToPath(Full());
    PGridNode scratch = Tree->GetFirstSelected();
    // Painting reads the key the jump ended on before it paints the rows.
    auto dib = Print(*Tree);
    PGridNode locked = ChildNamed(*Tree, scratch, L"Locked"), open = ChildNamed(*Tree, scratch, L"Open");
    ASSERT_TRUE(locked && open);
    EXPECT_GT(CountIn(*dib, LineColour, Tree->GetDisplayRect(locked, gridtree::NoColumn, false)), 100);
    EXPECT_EQ(0, CountIn(*dib, LineColour, Tree->GetDisplayRect(open, gridtree::NoColumn, false)));
    EXPECT_EQ(0, CountIn(*dib, LineColour, Tree->GetDisplayRect(scratch, gridtree::NoColumn, false)));

    Tree->SetSelected(locked, true);
    EXPECT_EQ(List->ReadOnlyColor(), List->Color());
    Tree->SetSelected(open, true);
    EXPECT_EQ(List->DefaultColor(), List->Color());
}

// The key a jump selects is write-tested by the opening that lists its values, and its
// subkeys are read when its rows are first needed (here the first paint): a key whose
// writing is denied is still read, and shown read-only.
TEST_F(ViewsTest, AJumpWriteTestsItsKeyWithTheListAndReadsItWhenPainted) {
    MakeKey(P(L"Locked\\Inner"));
    MakeKey(P(L"Open\\Inner"));
    SetKeyReadOnly(P(L"Locked"), true);
    auto unlock = classlib::ScopeExit([&] { SetKeyReadOnly(P(L"Locked"), false); });
    Tree->AddLocalComputerRoot(L"");
    const struct {
        const wchar_t* Name;
        bool ReadOnly;
    } cases[] = {{L"Locked", true}, {L"Open", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.ReadOnly ? "read-only" : "writable"));
        Tree->JumpToPath(Full(c.Name));
        PGridNode node = Tree->GetFirstSelected();
        ASSERT_EQ(Full(c.Name), SelectedPath());
        EXPECT_EQ(0u, Tree->ChildCount(node)) << "not read before it is needed";
        EXPECT_TRUE(Tree->NodeData(node)->Key->ReadOnlyChecked);
        EXPECT_EQ(c.ReadOnly, Tree->NodeData(node)->Key->ReadOnly);
        EXPECT_EQ(c.ReadOnly, Tree->GetSelectedKey()->FReadOnly);
        EXPECT_EQ(c.ReadOnly ? List->ReadOnlyColor() : List->DefaultColor(), List->Color());
        Print(*Tree);
        EXPECT_EQ(std::vector<std::wstring>{L"Inner"}, ChildNames(*Tree, node));
        EXPECT_TRUE(Tree->Expanded(node));
    }
}

TEST_F(ViewsTest, TreeRefreshesReadAgainAndSelectTheKeyAgain) {
    MakeKey(P(L"A\\Child"));
    Tree->AddLocalComputerRoot(L"");
    Tree->JumpToPath(Full(L"A\\Child"));
    PGridNode a = Tree->GetFirstSelected()->Parent;
    MakeKey(P(L"A\\New"));
    EXPECT_EQ(std::vector<std::wstring>{L"Child"}, ChildNames(*Tree, a));

    Tree->RefreshSelectedParent();
    EXPECT_EQ(Full(L"A\\Child"), SelectedPath());
    EXPECT_EQ((std::vector<std::wstring>{L"Child", L"New"}), ChildNames(*Tree, a));

    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, P(L"A\\New").c_str()));
    MakeKey(P(L"B"));
    Tree->RefreshAllKeys();
    EXPECT_EQ(Full(L"A\\Child"), SelectedPath());
    PGridNode scratch = Tree->GetFirstSelected()->Parent->Parent;
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"B"}), ChildNames(*Tree, scratch));
    EXPECT_EQ(std::vector<std::wstring>{L"Child"}, ChildNames(*Tree, Tree->GetFirstSelected()->Parent));

    // The selected key went meanwhile: the refresh ends on its parent.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, P(L"A\\Child").c_str()));
    Tree->RefreshSelectedParent();
    EXPECT_EQ(Full(L"A"), SelectedPath());

    // With the computer selected nothing is read again.
    PGridNode computer = Tree->GetFirstChild(nullptr);
    PGridNode firstRoot = computer->FirstChildNode;
    Tree->SetSelected(computer, true);
    Tree->RefreshSelectedParent();
    EXPECT_EQ(firstRoot, computer->FirstChildNode);
    EXPECT_TRUE(Tree->Selected(computer));
}

TEST_F(ViewsTest, TreeExpandsAllBelowTheSelectedKey) {
    for (const wchar_t* path : {L"T\\A\\A1", L"T\\A\\A2\\Deep", L"T\\B", L"U\\NotBelow"}) MakeKey(P(path));
    Tree->AddLocalComputerRoot(L"");
    Tree->JumpToPath(Full(L"T"));
    PGridNode t = Tree->GetFirstSelected();
    Tree->ExpandAllBelowSelected();
    std::vector<std::wstring> below;
    for (PGridNode n = Tree->GetFirst(); n; n = Tree->GetNext(n))
        if (Tree->HasAsParent(n, t)) below.push_back(Tree->GetNodeKey(n)->FPath.substr(P().size() + 1));
    std::sort(below.begin(), below.end());
    EXPECT_EQ(below, (std::vector<std::wstring>{L"T\\A", L"T\\A\\A1", L"T\\A\\A2", L"T\\A\\A2\\Deep", L"T\\B"}));
    EXPECT_EQ(0u, Tree->ChildCount(ChildNamed(*Tree, t->Parent, L"U")));
}

TEST_F(ViewsTest, TreeLoadsAndUnloadsHivesBelowTheSelectedRoot) {
    SetSz(P(L"Data\\Sub"), L"v", L"hive value");
    testsupport::ScratchDir dir;
    const std::wstring file = dir.File(L"hive.dat");
    ASSERT_TRUE(registry::SaveKeyToHiveFile(K(L"Data"), file));
    const std::wstring name = L"WendlarViewsHive";
    auto unload = classlib::ScopeExit([&] {
        if (registry::CanUnloadHive(HKEY_USERS, name)) registry::UnloadHive(HKEY_USERS, name);
    });
    Tree->AddLocalComputerRoot(L"");
    Tree->JumpToPath(L"HKEY_USERS");
    PGridNode users = Tree->GetFirstSelected();
    ASSERT_EQ(L"HKEY_USERS", SelectedPath());
    Print(*Tree);  // the root a jump ends on is read when first painted

    EXPECT_FALSE(Tree->LoadHiveAtSelected(dir.File(L"missing.dat"), name));
    EXPECT_EQ(nullptr, ChildNamed(*Tree, users, name));
    ASSERT_TRUE(Tree->LoadHiveAtSelected(file, name));
    EXPECT_EQ(L"HKEY_USERS", SelectedPath());
    users = Tree->GetFirstSelected();
    Print(*Tree);
    ASSERT_NE(nullptr, ChildNamed(*Tree, users, name));

    // A key inside the hive is not the hive.
    Tree->JumpToPath(L"HKEY_USERS\\" + name + L"\\Sub");
    ASSERT_EQ(L"HKEY_USERS\\" + name + L"\\Sub", SelectedPath());
    EXPECT_FALSE(Tree->UnloadHiveAtSelected());
    EXPECT_TRUE(registry::CanUnloadHive(HKEY_USERS, name));

    Tree->JumpToPath(L"HKEY_USERS\\" + name);
    EXPECT_TRUE(Tree->UnloadHiveAtSelected());
    EXPECT_EQ(L"HKEY_USERS", SelectedPath());
    Print(*Tree);
    ASSERT_GT(Tree->ChildCount(Tree->GetFirstSelected()), 0u);
    EXPECT_EQ(nullptr, ChildNamed(*Tree, Tree->GetFirstSelected(), name));
}

TEST_F(ViewsTest, TreeTextsImagesAndTheDateColumn) {
    MakeKey(P(L"Dated"));
    Tree->AddLocalComputerRoot(L"");
    Tree->JumpToPath(Full(L"Dated"));
    PGridNode dated = Tree->GetFirstSelected();
    PGridNode computer = Tree->GetFirstChild(nullptr);
    PGridNode root = ChildNamed(*Tree, computer, L"HKEY_CURRENT_USER");
    EXPECT_EQ(L"Dated", Tree->Text(dated, gridtree::NoColumn));
    EXPECT_EQ(L"HKEY_CURRENT_USER", Tree->Text(root, gridtree::NoColumn));
    EXPECT_EQ(0u, Tree->GetRootKeyPaths().find(L"HKEY_CLASSES_ROOT\r\nHKEY_CURRENT_USER\r\n"));
    EXPECT_EQ(nullptr, Tree->GetSelectedRootItem());

    Tree->SetDateView(true);
    gridtree::TGTHeader& header = Tree->Header();
    EXPECT_TRUE(header.Options() & gridtree::hoVisible);
    ASSERT_EQ(2, header.Columns().Count());
    EXPECT_EQ(L"名前", header.Columns()[0]->Text());
    EXPECT_EQ(L"最終更新時刻", header.Columns()[1]->Text());
    EXPECT_EQ(200, header.Columns()[1]->Width());
    const double written = Tree->GetNodeKey(dated)->FLastWriteTime;
    EXPECT_GT(written, 0);
    EXPECT_EQ(classlib::DateTimeToStr(written), Tree->Text(dated, 1));
    EXPECT_EQ(L"", Tree->Text(root, 1));
    EXPECT_EQ(L"Dated", Tree->Text(dated, 0));
    Tree->SetDateView(false);
    EXPECT_FALSE(header.Options() & gridtree::hoVisible);
    EXPECT_EQ(0, header.Columns().Count());

    Tree->SetImageLocalComputerC(10);
    Tree->SetImageLocalComputerO(11);
    Tree->SetImageLocalRootFolderC(12);
    Tree->SetImageLocalRootFolderO(13);
    Tree->SetImageLocalFolderC(14);
    Tree->SetImageLocalFolderO(15);
    struct Case {
        PGridNode Node;
        gridtree::TGTImageKind Kind;
        gridtree::TColumnIndex Column;
        int Index;
    };
    for (const Case& c : {Case{computer, gridtree::ikNormal, gridtree::NoColumn, 10},
                          Case{computer, gridtree::ikSelected, 0, 11}, Case{root, gridtree::ikNormal, 0, 12},
                          Case{root, gridtree::ikSelected, gridtree::NoColumn, 13},
                          Case{dated, gridtree::ikNormal, gridtree::NoColumn, 14},
                          Case{dated, gridtree::ikSelected, 0, 15}, Case{dated, gridtree::ikState, 0, -1},
                          Case{dated, gridtree::ikNormal, 1, -1}}) {
        bool ghosted = false;
        int index = 99;
        Tree->DoGetImageIndex(c.Node, c.Kind, c.Column, ghosted, index);
        EXPECT_EQ(c.Index, index) << Tree->GetNodeLevel(c.Node) << " " << c.Kind << " " << c.Column;
    }
}

TEST_F(ViewsTest, TreeSearchesAsTheUserTypes) {
    MakeKey(P(L"apple"));
    SetSz(P(L"banana"), L"yellow", L"1");
    Tree->AddLocalComputerRoot(L"");
    Tree->JumpToPath(Full(L"apple"));
    const HWND wnd = Tree->Handle();
    SendMessageW(wnd, WM_KEYDOWN, 'B', 1);
    SendMessageW(wnd, WM_CHAR, L'b', 1);
    SendMessageW(wnd, WM_KEYUP, 'B', 0xC0000001);
    EXPECT_EQ(Full(L"banana"), Tree->GetNodeKey(Tree->FocusedNode())->FFullPath);
    EXPECT_EQ(Full(L"banana"), SelectedPath());
    const auto* value = List->GetValueAt(1);
    EXPECT_EQ(L"yellow", value ? value->FValueName : L"") << "the list follows the search's selection";
}

// A key far down the tree is brought into view by a jump: its row and the start of its
// caption lie in the client area, where painting shows it selected; a jump back to a key
// near the top scrolls back to the left edge.
TEST_F(ViewsTest, AJumpBringsADeepKeyIntoView) {
    std::wstring path;
    for (int i = 0; i < 200; ++i) path += (i ? L"\\D" : L"D") + std::to_wstring(i);
    MakeKey(P(path));
    Form->Show();
    Tree->AddLocalComputerRoot(L"");
    Tree->JumpToPath(Full(path));
    ASSERT_EQ(Full(path), SelectedPath());
    PGridNode node = Tree->GetFirstSelected();
    auto dib = Print(*Tree);
    const RECT text = Tree->GetDisplayRect(node, gridtree::NoColumn, true);
    EXPECT_GE(text.left, 0);
    EXPECT_LE(text.right, Tree->ClientWidth());
    EXPECT_GE(text.top, 0);
    EXPECT_LE(text.bottom, Tree->ClientHeight());
    const COLORREF selection = classlib::ColorToRGB(Tree->Focused() ? Tree->Colors().FocusedSelectionColor()
                                                                     : Tree->Colors().UnfocusedSelectionColor());
    EXPECT_GT(CountIn(*dib, selection, text), (text.right - text.left) * (text.bottom - text.top) / 3);

    Tree->JumpToPath(Full(L"D0"));
    EXPECT_EQ(Full(L"D0"), SelectedPath());
    Print(*Tree);
    EXPECT_EQ(0, Tree->OffsetX());
}

// Without a connected list a jump reads nothing of the key it ends on: its subkeys come when
// its rows are first needed (painting or input), its writability when its row is painted.
// Every key jumped to before that is expanded then, and a key freed meanwhile is forgotten.
TEST_F(ViewsTest, AJumpLeavesItsKeyUnreadUntilItsRowsAreNeeded) {
    MakeKey(P(L"First\\F1"));
    MakeKey(P(L"Second\\S1"));
    MakeKey(P(L"Second\\S2"));
    MakeKey(P(L"Gone\\G1"));
    MakeKey(P(L"Locked\\L1"));
    SetKeyReadOnly(P(L"Locked"), true);
    auto unlock = classlib::ScopeExit([&] { SetKeyReadOnly(P(L"Locked"), false); });
    Tree->SetConnectListView(nullptr);
    Form->Show();
    Tree->AddLocalComputerRoot(L"");
    Tree->JumpToPath(Full(L"Gone"));
    PGridNode scratch = Tree->GetFirstSelected()->Parent;
    Tree->RefreshSelectedParent();  // the key the jump ended on is freed and found again
    Tree->JumpToPath(Full(L"First"));
    PGridNode first = Tree->GetFirstSelected();
    Tree->JumpToPath(Full(L"Locked"));
    PGridNode locked = Tree->GetFirstSelected();
    Tree->JumpToPath(Full(L"Second"));
    PGridNode second = Tree->GetFirstSelected();
    for (PGridNode node : {first, locked, second}) {
        EXPECT_EQ(0u, Tree->ChildCount(node));
        EXPECT_FALSE(Tree->NodeData(node)->Key->ReadOnlyChecked);
    }

    // A key press goes to the rows as they are to be: down from Second is its first subkey.
    SendMessageW(Tree->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    SendMessageW(Tree->Handle(), WM_KEYUP, VK_DOWN, 0xC0000001);
    EXPECT_EQ(Full(L"Second\\S1"), SelectedPath());
    EXPECT_EQ((std::vector<std::wstring>{L"S1", L"S2"}), ChildNames(*Tree, second));
    EXPECT_EQ(std::vector<std::wstring>{L"F1"}, ChildNames(*Tree, first));
    EXPECT_EQ(std::vector<std::wstring>{L"L1"}, ChildNames(*Tree, locked));
    EXPECT_EQ(std::vector<std::wstring>{L"G1"}, ChildNames(*Tree, ChildNamed(*Tree, scratch, L"Gone")));
    for (PGridNode node : {first, locked, second}) EXPECT_TRUE(Tree->Expanded(node));

    Tree->JumpToPath(Full(L"Locked"));
    Print(*Tree);
    EXPECT_TRUE(Tree->NodeData(locked)->Key->ReadOnlyChecked);
    EXPECT_TRUE(Tree->NodeData(locked)->Key->ReadOnly);
    EXPECT_TRUE(Tree->GetSelectedKey()->FReadOnly);
}

// Key names keep their underscores on screen: a key named with underscores only paints text
// inside its own row. (A font whose "_" falls below its character cell, as the Japanese UI
// font of a bare Wine prefix does at this size, leaves the row's text blank.)
TEST_F(ViewsTest, UnderscoresArePaintedInsideTheirRow) {
    MakeKey(P(L"__________"));
    Tree->AddLocalComputerRoot(L"");
    Tree->JumpToPath(Full());
    PGridNode scratch = Tree->GetFirstSelected();
    Tree->SetExpanded(scratch, true);
    PGridNode node = ChildNamed(*Tree, scratch, L"__________");
    ASSERT_NE(node, nullptr);
    auto dib = Print(*Tree);
    const RECT text = Tree->GetDisplayRect(node, gridtree::NoColumn, true);
    const RECT row = Tree->GetDisplayRect(node, gridtree::NoColumn, false);
    ASSERT_LT(text.left, text.right);
    const COLORREF back = dib->Pixel(text.right - 1, row.top);
    int ink = 0;
    for (int y = std::max<LONG>(row.top, 0); y < std::min<LONG>(row.bottom, dib->Height); ++y)
        for (int x = std::max<LONG>(text.left, 0); x < std::min<LONG>(text.right, dib->Width); ++x)
            ink += dib->Pixel(x, y) != back;
    EXPECT_GT(ink, 10) << "no underscore in the row of " << text.left << ".." << text.right;
}
