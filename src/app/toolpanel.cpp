#include "app/toolpanel.h"

#include "app/preparedpanel.h"
#include "app/toolpanes.h"
#include "classlib/form.h"
#include "controls/toolbar/ui/uidockpanels.h"
#include "controls/toolbar/ui/uipanels.h"
#include "widgets/vstab.h"

#include <functional>

namespace app {

using classlib::TComponent;

ui::TUiPanel* NewToolArea(TComponent* owner, classlib::TWinControl* parent, classlib::TAlign align) {
    auto* panel = new ui::TUiPanel(owner);
    panel->SetParent(parent);
    panel->SetBorders(false);
    panel->SetAlign(align);
    return panel;
}

TToolPanel::TToolPanel(const TFeatureContext& context) : FContext(context) {
    classlib::TForm& form = FContext.Form;
    FDock = new ui::TUiMultiDock(&form);
    FDock->SetName(L"CustomToolDock");
    FDock->SetPosition(ui::dpxBottom);
    FDock->SetParent(&form);

    auto* panel = new TPreparedDockablePanel(&form);
    FPanel = panel;
    FPanel->SetName(L"CustomTools");
    FPanel->SetCaption(ToolPageCaptions[0]);
    FPanel->SetHideWhenInactive(false);
    FPanel->SetDefaultDockedHeight(180);
    FPanel->SetCurrentDock(FDock);
    FPanel->SetVisible(false);
    // However the panel comes to be shown (a command, the view command, the layout file), its
    // page is there when it shows.
    panel->BeforeShow = [this] { ShowActivePage(); };
}

TToolPanel::~TToolPanel() {
    static_cast<TPreparedDockablePanel*>(FPanel)->BeforeShow = nullptr;
    FPanel->OnResize = nullptr;
    if (FTabs) FTabs->OnChange = nullptr;
    delete FPanel;
    delete FDock;
}

void TToolPanel::CreateFrame() {
    if (FTabs) return;
    classlib::TForm& form = FContext.Form;
    FTabs = new widgets::TVxVSTab(&form);
    FTabs->SetParent(FPanel);
    FTabs->SetAlign(classlib::alBottom);
    FTabs->SetReversing(true);
    FTabs->SetEnableBuiltinDragDrop(false);
    FTabs->SetMiddleClickClose(false);
    for (const wchar_t* caption : ToolPageCaptions) FTabs->Tabs().Add(caption);
    FNoteBook = NewToolArea(&form, FPanel, classlib::alClient);
    for (ui::TUiPanel*& area : FPageAreas) {
        area = NewToolArea(&form, FNoteBook, classlib::alClient);
        area->SetVisible(false);
    }
    FTabs->SetActiveTabIndex(FActivePage);
    FTabs->OnChange = [this](TComponent*) { PageChanged(); };
    FPanel->OnResize = [this](TComponent*) {
        for (size_t i = 0; i < FPages.size(); ++i)
            if (FCreated[i] && FPages[i]) FPages[i]->PanelResized(FPanel->Width());
    };
}

void TToolPanel::SetPage(int index, TToolPage* page) {
    if (index < 0 || index >= ToolPageCount) return;
    FPages[static_cast<size_t>(index)] = page;
    FCreated[static_cast<size_t>(index)] = false;  // a new page object makes its own controls
    if (page && index == FActivePage && FPanel->Visible()) ShowActivePage();
}

void TToolPanel::ShowActivePage() {
    CreateFrame();
    const auto active = static_cast<size_t>(FActivePage);
    if (!FCreated[active] && FPages[active]) {
        FCreated[active] = true;
        FPages[active]->CreateControls(*FPageAreas[active]);
        FPages[active]->PanelResized(FPanel->Width());
    }
    for (size_t i = 0; i < FPageAreas.size(); ++i) FPageAreas[i]->SetVisible(i == active);
    FPanel->SetCaption(ToolPageCaptions[active]);
}

void TToolPanel::PageChanged() {
    const int page = FTabs->ActiveTabIndex();
    if (page < 0 || page >= ToolPageCount || page == FActivePage) return;
    FActivePage = page;
    ShowActivePage();
}

void TToolPanel::ShowPage(int index) {
    if (index < 0 || index >= ToolPageCount) return;
    FActivePage = index;
    if (!FPanel->Visible()) {
        FPanel->SetVisible(true);  // makes and shows the page first
        // The dock grew: the registry windows' area shrinks above it.
        FContext.Form.Realign();
    } else {
        ShowActivePage();
    }
    if (FTabs) FTabs->SetActiveTabIndex(index);
}

}  // namespace app
