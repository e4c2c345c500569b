// The tool panel makes late what costs: nothing of its pages at start, a page's controls the
// first time that page is shown (however the panel comes to be shown), and never twice.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/commandhost.h"
#include "app/mainactions.h"
#include "app/toolpanel.h"
#include "classlib/form.h"
#include "common/test_support.h"
#include "controls/toolbar/ui/uidockpanels.h"

#include <array>
#include <memory>

using namespace app;

namespace {

// A page that counts how often it was made and takes itself out of the panel as a feature
// does.
class CountingPage final : public TToolPage {
public:
    CountingPage(TToolPanel& panel, int index) : FPanel(panel), FIndex(index) { FPanel.SetPage(index, this); }
    ~CountingPage() override { FPanel.SetPage(FIndex, nullptr); }
    void CreateControls(classlib::TWinControl& page) override {
        ++Made;
        Parent = &page;
    }
    int Made = 0;
    classlib::TWinControl* Parent = nullptr;

private:
    TToolPanel& FPanel;
    int FIndex;
};

struct PanelOnAForm {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TMainActionList* Actions = new TMainActionList(Form.get());
    TFeatureContext Context{*Form, *Actions};
    std::unique_ptr<TToolPanel> Panel;

    PanelOnAForm() {
        Form->SetBounds(10, 10, 600, 400);
        Form->Show();
        Panel = std::make_unique<TToolPanel>(Context);
    }
    ~PanelOnAForm() { Panel.reset(); }
    // The panel as the view command and the layout file find it.
    ui::TUiDockablePanel* Dockable() const {
        return dynamic_cast<ui::TUiDockablePanel*>(Form->FindComponent(L"CustomTools"));
    }
};

}  // namespace

TEST(ToolPanel, PagesAreMadeTheFirstTimeTheyAreShown) {
    PanelOnAForm f;
    std::array<std::unique_ptr<CountingPage>, ToolPageCount> pages;
    for (int i = 0; i < ToolPageCount; ++i) pages[static_cast<size_t>(i)] = std::make_unique<CountingPage>(*f.Panel, i);
    ui::TUiDockablePanel* panel = f.Dockable();
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->Visible());
    const int ownControls = panel->ControlCount();  // its caption bar

    // Hidden, the panel makes nothing, also when told which page to turn to.
    f.Panel->SetPage(FindToolPage, pages[0].get());
    EXPECT_EQ(panel->ControlCount(), ownControls) << "no tab strip, no page area while hidden";
    EXPECT_EQ(pages[0]->Made, 0);

    // Shown from outside (the view command): the page it is turned to comes.
    panel->SetVisible(true);
    EXPECT_EQ(pages[0]->Made, 1);
    EXPECT_EQ(panel->Caption(), L"検索");
    f.Panel->ShowPage(ClipboardToolPage);
    f.Panel->ShowPage(ClipboardToolPage);
    EXPECT_EQ(pages[2]->Made, 1);
    EXPECT_EQ(panel->Caption(), L"クリップボード");
    EXPECT_TRUE(pages[2]->Parent->Visible());
    EXPECT_FALSE(pages[0]->Parent->Visible());
    EXPECT_EQ(pages[1]->Made + pages[3]->Made, 0) << "pages never shown are never made";

    // Hidden and shown again: nothing is made twice.
    panel->SetVisible(false);
    f.Panel->ShowPage(FindToolPage);
    EXPECT_TRUE(panel->Visible());
    EXPECT_EQ(pages[0]->Made, 1);

    // A page set while it is the one shown is made at once.
    f.Panel->ShowPage(HistoryToolPage);
    pages[3].reset();
    EXPECT_EQ(panel->Caption(), L"履歴");
    pages[3] = std::make_unique<CountingPage>(*f.Panel, HistoryToolPage);
    EXPECT_EQ(pages[3]->Made, 1);
    for (auto& page : pages) page.reset();
}
