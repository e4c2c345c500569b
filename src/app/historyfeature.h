// The address history in the main window: the history itself ("History.db", loaded when the
// feature is made), the address box's drop-down list of it, and the tool panel's history
// page: one row per line, newest first, without columns or header. A double click on a row
// goes to its path as the "移動" button does; the page's menu clears the history
// ("履歴のクリア"), after which the address box keeps its list until the next path is added.
//
// The address box's list is filled from the history the first time it is needed (the box
// has the focus or drops its list down) and then follows every change with one move; the
// page's rows are read from the history, so only its row count follows the changes. A
// history of ten thousand lines thus costs the start one read of the file.
//
// Made by the main window after its address box (see featurehost.h). Main thread only.
#pragma once

#include "app/addresshistory.h"
#include "app/featurehost.h"
#include "app/toolpanel.h"

#include <memory>
#include <string>

namespace gridtree {
class TGridStringTree;
}
namespace ui {
class TUiComboBox;
class TUiPopupMenu;
}

namespace app {

// What the history asks of the main window.
class THistoryHost {
public:
    virtual ~THistoryHost() = default;
    // The address box (it lives as long as the main window's chrome, longer than the feature).
    virtual ui::TUiComboBox& AddressBox() = 0;
    // Goes to the path in the address box as the "移動" button does (which adds it here).
    virtual void GoToAddress() = 0;
};

class THistoryFeature final : public TToolPage {
public:
    // `fileName`: the history file. A file that cannot be read is reported and the history
    // starts empty.
    THistoryFeature(const TFeatureContext& context, TToolPanel& panel, THistoryHost& host, std::wstring fileName);
    ~THistoryFeature() override;

    // Puts a path at the top of the history, the address box's list and the page; an empty
    // path adds nothing. A file that cannot be written is reported; the lists change anyway.
    void Add(const std::wstring& path);
    const TAddressHistory& History() const { return FHistory; }

    void CreateControls(classlib::TWinControl& page) override;

private:
    // The address box's list, filled from the history the first time it is needed.
    void FillAddressBox();
    bool AddressBoxFocused();
    void Clear();
    void RowsChanged();
    void TreeDoubleClicked();

    const TFeatureContext FContext;
    TToolPanel& FPanel;
    THistoryHost& FHost;
    TAddressHistory FHistory;
    // The address box holds the history's lines; after Clear it holds the old ones until the
    // next Add (which then fills it again).
    bool FBoxFilled = false;
    bool FBoxStale = false;
    gridtree::TGridStringTree* FTree = nullptr;
    ui::TUiPopupMenu* FMenu = nullptr;
};

}  // namespace app
