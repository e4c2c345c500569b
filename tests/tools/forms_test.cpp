// The tool dialogs driven through their handlers with the world replaced: the export dialog's
// file choice and writers, the size tool's folders and snapshot folder, the about box's
// opening of addresses.
#include <gtest/gtest.h>

#include "classlib/form.h"
#include "common/test_support.h"
#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/wide/wideedit.h"
#include "controls/wide/widelistview.h"
#include "controls/wide/widetreeview.h"
#include "tools/regexportform.h"
#include "tools/regsizeform.h"
#include "tools/versionform.h"
#include "widgets/vstab.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

using namespace tools;
using testsupport::Narrow;

namespace {

// The export dialog's world: what was asked and written, with answers the test sets.
struct FakeExport {
    std::optional<std::wstring> Chosen = L"C:\\out\\key.reg";  // none: the user cancels
    bool Writes = true;
    bool Lossy = false;
    struct Ask {
        std::wstring Ext;
        int Index;
    };
    std::vector<Ask> Asked;
    std::vector<std::wstring> Written;  // "hive:<file>", "unicode:<file>", "ansi:<file>"
    std::vector<std::wstring> Told;

    TExportOperations Operations() {
        TExportOperations o;
        o.ChooseFile = [this](HWND, const std::wstring& filter, const std::wstring& ext, int index, std::wstring& name) {
            EXPECT_EQ(filter, ExportFilter);
            Asked.push_back({ext, index});
            if (!Chosen) return false;
            name = *Chosen;
            return true;
        };
        o.SaveHive = [this](const registry::TVxRegKeyClass& key, const std::wstring& file) {
            EXPECT_EQ(key.FFullPath, L"HKEY_CURRENT_USER\\Software\\X");
            Written.push_back(L"hive:" + file);
            return Writes;
        };
        o.ExportScript = [this](const registry::TVxRegKeyClass&, const std::wstring& file, bool unicode, bool& lossy) {
            Written.push_back((unicode ? L"unicode:" : L"ansi:") + file);
            lossy = Lossy;
            return Writes;
        };
        o.Tell = [this](const std::wstring& text) { Told.push_back(text); };
        return o;
    }
};

std::unique_ptr<TRegExportForm> ExportDialog(FakeExport& world) {
    auto dialog = std::make_unique<TRegExportForm>(nullptr, world.Operations());
    dialog->FKey.FFullPath = L"HKEY_CURRENT_USER\\Software\\X";
    return dialog;
}

}  // namespace

TEST(ExportDialog, EachFormatAsksForItsKindOfFileAndClosesOnceWritten) {
    struct Case {
        const char* what;
        int choice;  // 0 ANSI, 1 Unicode, 2 hive
        const wchar_t* ext;
        int index;
        const wchar_t* written;
    } cases[] = {
        {"ansi", 0, L"reg", 1, L"ansi:C:\\out\\key.reg"},
        {"unicode", 1, L"reg", 1, L"unicode:C:\\out\\key.reg"},
        {"hive", 2, L"hiv", 2, L"hive:C:\\out\\key.reg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeExport world;
        auto dialog = ExportDialog(world);
        EXPECT_TRUE(dialog->RegExpUni->Checked()) << "Unicode is the first choice";
        ui::TUiRadioButton* choices[] = {dialog->RegExpANSI, dialog->RegExpUni, dialog->RegExpHive};
        choices[c.choice]->SetChecked(true);
        dialog->UiButton2Click();
        ASSERT_EQ(world.Asked.size(), 1u);
        EXPECT_EQ(world.Asked[0].Ext, c.ext);
        EXPECT_EQ(world.Asked[0].Index, c.index);
        EXPECT_EQ(world.Written, std::vector<std::wstring>{c.written});
        EXPECT_TRUE(world.Told.empty());
        EXPECT_EQ(dialog->ModalResult(), classlib::mrOk);
    }
}

// A cancelled file choice and a failed export both keep the dialog open; the failure is said.
// An ANSI script that lost characters is written and the loss is said.
TEST(ExportDialog, CancelAndFailureKeepItOpenALossySaveIsSaid) {
    FakeExport cancelled;
    cancelled.Chosen.reset();
    auto dialog = ExportDialog(cancelled);
    dialog->UiButton2Click();
    EXPECT_TRUE(cancelled.Written.empty());
    EXPECT_EQ(dialog->ModalResult(), classlib::mrNone);

    FakeExport failing;
    failing.Writes = false;
    dialog = ExportDialog(failing);
    dialog->RegExpHive->SetChecked(true);
    dialog->UiButton2Click();
    EXPECT_EQ(failing.Told, std::vector<std::wstring>{ExportFailedText(L"C:\\out\\key.reg")});
    EXPECT_EQ(dialog->ModalResult(), classlib::mrNone);

    FakeExport lossy;
    lossy.Lossy = true;
    dialog = ExportDialog(lossy);
    dialog->RegExpANSI->SetChecked(true);
    dialog->UiButton2Click();
    EXPECT_EQ(lossy.Told, std::vector<std::wstring>{AnsiLossText});
    EXPECT_EQ(dialog->ModalResult(), classlib::mrOk);
}

namespace {

std::vector<std::pair<std::wstring, std::wstring>> RowsOf(wide::TWideListView& list) {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    for (int i = 0; i < list.Items().Count(); ++i) {
        wide::TWideListItem* item = list.Items().Item(i);
        rows.emplace_back(item->Caption(), item->SubItems().Get(0));
    }
    return rows;
}

}  // namespace

// With a snapshot selected, switching the unit recomputes the list, the report and the
// differences in the new unit; a save says the new file's name and lists it on the comparison
// tab.
TEST(SizeTool, UnitSwitchRecomputesEverythingAndSavesAreListed) {
    testsupport::ScratchDir dir;
    const std::filesystem::path config = dir.Path() / L"Windows" / L"system32" / L"config";
    std::filesystem::create_directories(config);
    auto plant = [](const std::filesystem::path& file, uintmax_t bytes) {
        { std::ofstream(file, std::ios::binary); }
        std::filesystem::resize_file(file, bytes);
    };
    plant(config / L"SAM", 262144);
    plant(config / L"system", 1536);
    const std::wstring snapshots = (dir.Path() / L"RegSize").wstring();
    TRegSizeForm form(nullptr, snapshots, {(dir.Path() / L"Windows").wstring(), (dir.Path() / L"Profile").wstring()});
    std::vector<std::wstring> told;
    form.Tell = [&](const std::wstring& text) { told.push_back(text); };

    using Rows = std::vector<std::pair<std::wstring, std::wstring>>;
    EXPECT_EQ(RowsOf(*form.WideListView), (Rows{{L"SAM", L"256KB"}, {L"system", L"1.5KB"}}));
    EXPECT_NE(form.WideMemo->GetText().find(L"合計サイズ" + std::wstring(9, L'\x3000') + L"257.5KB"), std::wstring::npos);
    EXPECT_EQ(form.VxVSTab->ActiveTabIndex(), 1);
    EXPECT_EQ(form.UiListBox->Items().GetCount(), 0) << "filled when the tab changes";

    form.saveRegSizeButtonClick();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(L".rgsize"), std::wstring::npos) << Narrow(told[0]);
    plant(config / L"SAM", 262144 + 1536);  // grown since

    form.VxVSTab->SetActiveTabIndex(0);
    form.VxVSTabChange();
    ASSERT_EQ(form.UiListBox->Items().GetCount(), 1);
    form.UiListBox->SetItemIndex(0);
    form.UiListBoxClick();
    EXPECT_EQ(RowsOf(*form.WideListViewSize), (Rows{{L"SAM", L"-1.5KB"}, {L"system", L"0KB"}}));

    form.mbCheck->SetChecked(true);
    EXPECT_FALSE(form.kbCheck->Checked());
    EXPECT_EQ(RowsOf(*form.WideListView), (Rows{{L"SAM", L"0.3MB"}, {L"system", L"0MB"}}));
    EXPECT_EQ(RowsOf(*form.WideListViewSize), (Rows{{L"SAM", L"0MB"}, {L"system", L"0MB"}}));
    EXPECT_NE(form.WideMemo->GetText().find(L"0.3MB"), std::wstring::npos);
}

// Only the nodes with a state image are addresses: a double-click there opens the node's
// text, anywhere else nothing.
TEST(AboutBox, OnlyAddressNodesOpen) {
    TVersionForm form(nullptr);
    std::vector<std::wstring> opened;
    form.OpenAddress = [&](const std::wstring& address) { opened.push_back(address); };
    std::vector<std::wstring> addresses, others;
    std::function<void(wide::TWideTreeNode*)> walk = [&](wide::TWideTreeNode* node) {
        for (; node; node = node->GetNextSibling()) {
            form.WideTreeView1->SetSelected(node);
            form.WideTreeView1DblClick();
            (node->StateIndex() != -1 ? addresses : others).push_back(node->Text());
            walk(node->GetFirstChild());
        }
    };
    walk(form.WideTreeView1->Items().GetFirstNode());
    EXPECT_EQ(opened, addresses);
    EXPECT_FALSE(others.empty());
    for (const std::wstring& address : addresses) EXPECT_EQ(address.rfind(L"https://", 0), 0u) << Narrow(address);
    EXPECT_NE(std::find(others.begin(), others.end(), L"Oniguruma"), others.end());
}

TEST(AboutBox, VersionComesFromTheJapaneseStringTable) {
    // The test program has no version block.
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(ReadFileVersion(self), L"");
    EXPECT_EQ(ReadFileVersion(L"C:\\no such file.exe"), L"");
    const std::wstring program = std::filesystem::path(self).parent_path() / L"wendlar.exe";
    if (std::filesystem::exists(program)) {
        EXPECT_FALSE(ReadFileVersion(program).empty());
    }
}
