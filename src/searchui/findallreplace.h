// The bulk replace dialog "検索結果を用いた置換": replaces, inside the hits of the last
// search, the matched text by a replacement text (key names, value names, string data),
// with a preview row per hit and undo records for every change.
//
// The main window opens it after its own danger warning, hands it the last search record
// and the hit list (Setup), shows it modally, and on OK frees all hits, empties the result
// pane and refreshes its registry windows. The hit list must not change and must outlive
// the dialog. OK asks twice (unless the host's "SetNoMessage" is on); a No keeps the dialog
// open and changes nothing. In regular-expression mode without the library the preview
// says so and OK stops with a message, before anything is changed.
//
// Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "controls/wide/wideforms.h"
#include "search/bulk_ops.h"
#include "search/find_panes.h"
#include "search/find_record.h"
#include "searchui/findhost.h"

namespace gridtree {
class TGridStringTree;
}
namespace ui {
class TUiButton;
class TUiCheckBox;
class TUiEdit;
class TUiGroupBox;
}  // namespace ui

namespace searchui {

class TFindAllReplaceForm : public wide::TWideForm {
public:
    TFindAllReplaceForm(classlib::TComponent* owner, IFindDialogHost& host);
    ~TFindAllReplaceForm() override;

    // The caller's one call before showing the dialog: a copy of the last search record,
    // the main window's hit list (neither owned nor copied), the last keyword shown, and
    // the rows the options admit.
    void Setup(const search::TWendlarFindRecord& lastFind, const search::TVxRegFindList& allResults);
    // The rows shown: every hit the six check boxes admit, in list order; each preview is
    // computed anew.
    void FilterResults();
    const std::vector<const registry::TVxRegFindClass*>& ShownResults() const;
    // What the last OK did to each row (empty before the walk ran).
    const search::TBulkReport& Report() const { return FReport; }

    // Group "置換".
    ui::TUiGroupBox* GroupReplace = nullptr;
    ui::TUiEdit* RepKeyword = nullptr;
    ui::TUiEdit* Findkeyword = nullptr;
    // Group "置換オプション".
    ui::TUiGroupBox* GroupOptions = nullptr;
    ui::TUiCheckBox* CheckRepValueName = nullptr;
    ui::TUiCheckBox* CheckRepValue = nullptr;
    ui::TUiCheckBox* CheckRepRegSZ = nullptr;
    ui::TUiCheckBox* CheckRepExpSZ = nullptr;
    ui::TUiCheckBox* CheckRepMultiSZ = nullptr;
    ui::TUiCheckBox* CheckRepKeyName = nullptr;
    // Group "置換プレビュー".
    ui::TUiGroupBox* GroupPreview = nullptr;
    gridtree::TGridStringTree* FindOuts = nullptr;
    ui::TUiButton* CancelButton = nullptr;
    ui::TUiButton* OkButton = nullptr;

    // The OK button's state follows the rows whenever the application is idle.
    void UpdateActions() override;

protected:
    // The preview is unbound before the tree goes.
    void TearDown() override;

private:
    // The preview rows show the typed replacement.
    void ShowReplacement();
    // OK: runs the replacement over the shown rows; true when it ran to the end.
    bool ReplaceShownHits();

    IFindDialogHost& FHost;
    const search::TVxRegFindList* FAllResults = nullptr;
    std::unique_ptr<search::TBulkReplacer> FReplacer;
    std::unique_ptr<search::TReplacePreviewPane> FPane;
    std::vector<const registry::TVxRegFindClass*> FNoRows;
    search::TBulkReport FReport;
};

}  // namespace searchui
