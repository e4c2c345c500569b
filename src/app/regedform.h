// TRegEdForm: a registry window, an MDI child of the main window showing one key tree and
// the value list of the key selected in it, side by side with a splitter whose toggle hides
// and shows the tree.
//
// The main window makes registry windows (TMainForm::OpenWindow) and keeps one tab per
// window; the window tells it when the selected key changes (tab text, caption), when it is
// activated (its tab becomes the active one) and when it closes (its tab goes, the window
// is freed). A locked tab disables the key tree and keeps the close commands away.
//
// Main thread only.
#pragma once

#include "app/mainoptions.h"
#include "controls/wide/wideforms.h"

#include <string>

namespace classlib {
class TPopupMenu;
class TTimer;
}  // namespace classlib
namespace views {
class TVxRegListView;
class TVxRegTreeView;
}  // namespace views
namespace widgets {
class TVxDWSplitter;
}

namespace app {

class TMainForm;

class TRegEdForm : public wide::TWideForm {
public:
    explicit TRegEdForm(TMainForm* mainForm);
    ~TRegEdForm() override;

    views::TVxRegTreeView* VxRegTreeView = nullptr;
    widgets::TVxDWSplitter* VxDWSplitter1 = nullptr;
    views::TVxRegListView* VxRegListView = nullptr;
    classlib::TPopupMenu* TreeMenu = nullptr;
    classlib::TPopupMenu* ListMenu = nullptr;

    // The full path of the key shown (empty for the computer node) and its display name
    // (the computer node's caption for it).
    const std::wstring& ShownPath() const { return FShownPath; }
    const std::wstring& ShownName() const { return FShownName; }
    bool TabLocked() const { return FTabLocked; }
    // Locks or unlocks the tab: a locked window's key tree is disabled.
    void SetTabLock(bool locked);
    bool IncIgnoreCase() const { return FIncIgnoreCase; }
    // The incremental-search options (and the date column when `withDateView`).
    void ApplyOptions(const TRegWindowOptions& options, bool withDateView);

    // The selected node changed: takes the shown key from the tree and tells the main
    // window (tab text, caption). Nothing while neither a key nor the computer is selected.
    void VxRegTreeViewChange();
    // The control that takes the focus when the window is first activated: the value list
    // when a jump ended on a value, else the key tree.
    void ChooseStartFocus();

protected:
    void CreateParams(classlib::TCreateParams& params) override;

private:
    void StartupTimerTimer();
    void FormClose(classlib::TCloseAction& action);
    void ReadLayout();

    TMainForm* FMainForm;
    std::wstring FShownPath;
    std::wstring FShownName;
    bool FTabLocked = false;
    bool FIncIgnoreCase = false;
};

// The answer of an incremental search step, 0 when the node matches: `caption` and `search`
// compared over the shorter of their lengths in the user's locale (ignoring case when
// asked), so a node whose whole name starts the search text matches too.
int IncrementalSearchCompare(const std::wstring& caption, const std::wstring& search, bool ignoreCase);

}  // namespace app
