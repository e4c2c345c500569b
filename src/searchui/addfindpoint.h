// The start-key picker "検索対象の追加": the user picks one registry key by browsing a key
// tree or by typing its path. Selecting a key writes its full path into the address box;
// Enter in the box (or the button "移動") expands and selects the typed path as far as it
// exists, and the box then holds the full path of the deepest key reached.
//
// Callers create it with themselves as owner, show it modally and, on OK, take the text of
// AddressEdit: whatever the box holds, typed or filled by a selection, also an empty text
// or a path that does not exist. Main thread only.
#pragma once

#include "controls/wide/wideforms.h"

namespace classlib {
class TImageList;
}
namespace ui {
class TUiButton;
class TUiEdit;
class TUiPanel;
}
namespace views {
class TVxRegTreeView;
}

namespace searchui {

class TAddFindPointForm : public wide::TWideForm {
public:
    // `componentImages`: the tree's images (computer 0/1, root folder 2/3, key folder 4/5,
    // closed/open); null for none. The list must outlive the dialog.
    TAddFindPointForm(classlib::TComponent* owner, classlib::TImageList* componentImages = nullptr);

    ui::TUiPanel* TopPanel = nullptr;
    ui::TUiEdit* AddressEdit = nullptr;
    ui::TUiButton* JumpButton = nullptr;  // "移動"
    views::TVxRegTreeView* VxRegTreeView = nullptr;
    ui::TUiPanel* BottomPanel = nullptr;
    ui::TUiButton* OkButton = nullptr;      // "追加(&O)"
    ui::TUiButton* CancelButton = nullptr;  // "キャンセル"

    // The text handed back on OK.
    std::wstring Address();

private:
    // The box shows the full path of the key selected in the tree.
    void ShowSelectedKeyPath();
    void JumpToAddress();
};

}  // namespace searchui
