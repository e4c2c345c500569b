#include "app/usertoolbarsfeature.h"

#include "app/mainactions.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "controls/wide/widedialogs.h"
#include "tools/uicustomize.h"

namespace app {

namespace {

// The image of the command tree's category nodes in the commands' pictures.
constexpr int kCategoryImage = 58;
// The name references to the main window's commands and submenus carry in the files.
constexpr const wchar_t* kReferenceRoot = L"MainForm";

// The dialog's way to the user and the files.
class TDialogHost final : public tools::IUiCustomizeHost {
public:
    TDialogHost(std::wstring folder, const tools::TToolbarReferences& references)
        : FFolder(std::move(folder)), FReferences(references) {}
    void ShowMessage(const std::wstring& text) override { wide::WideShowMessage(text); }
    void ShowError(const std::wstring& text) override {
        wide::WideMessageDlg(text, wide::mtError, wide::mbOKOnly, 0);
    }
    bool InputQuery(const std::wstring& caption, const std::wstring& prompt, std::wstring& value) override {
        return wide::WideInputQuery(caption, prompt, value);
    }
    SYSTEMTIME LocalTime() override {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        return now;
    }
    std::wstring ToolbarFolder() override { return FFolder; }
    const tools::TToolbarReferences& References() override { return FReferences; }

private:
    std::wstring FFolder;
    const tools::TToolbarReferences& FReferences;
};

}  // namespace

TUserToolbarsFeature::TUserToolbarsFeature(const TFeatureContext& context, TUserToolbarsHost& host,
                                           std::wstring folder)
    : FContext(context),
      FHost(host),
      FFolder(std::move(folder)),
      FReferences(kReferenceRoot, {&context.Form, &context.Actions}) {
    FContext.Actions.Action(TActionId::aacCustomToolbar)->OnExecute = [this](classlib::TComponent*) { Customize(); };
    tools::TToolbarLoadReport report =
        tools::LoadCustomToolbars(FFolder + L"\\" + tools::CustomToolbarIndexName, Place(), FReferences,
                                  {FHost.MenuBarHolder()});
    FProblems = std::move(report.Problems);
    FKept = std::move(report.Kept);
}

TUserToolbarsFeature::~TUserToolbarsFeature() {
    FContext.Actions.Action(TActionId::aacCustomToolbar)->OnExecute = nullptr;
}

tools::TUserToolbarPlace TUserToolbarsFeature::Place() const {
    return {&FContext.Form, FContext.ToolBarImages, FHost.NewToolbarDock(), FHost.ToolbarPopupMenu()};
}

std::wstring TUserToolbarsFeature::LoadNotice() const {
    if (FProblems.empty()) return {};
    std::wstring text = L"次のツールバーを読み込めませんでした。組み込みのまま表示します。\r\n";
    for (const std::wstring& problem : FProblems) text += L"\r\n" + problem;
    return text;
}

void TUserToolbarsFeature::Customize() {
    TDialogHost dialogHost(FFolder, FReferences);
    ui::ShowModalForm<tools::TVxUiCustomizeForm>(
        &FContext.Form,
        [this](tools::TVxUiCustomizeForm& dialog) {
            dialog.AddHiddenCategory(L"");
            dialog.AddExcludedToolbar(FHost.MenuBarHolder());
            for (ui::TUiToolbar* toolbar : FHost.FixedToolbars()) dialog.AddFixedToolbar(toolbar);
            dialog.KeepSections(FKept);
            dialog.Setup(&FContext.Form, FContext.ToolBarImages, &FContext.Actions, kCategoryImage,
                         FHost.NewToolbarDock(), FHost.ToolbarPopupMenu());
            for (ui::TUiSubmenuItem* submenu : FHost.OfferedSubmenus()) dialog.AddSubmenu(submenu);
        },
        {}, static_cast<tools::IUiCustomizeHost&>(dialogHost));
}

}  // namespace app
