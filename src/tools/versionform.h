// The about box "バージョン情報": the program's icon, name and file version, and the tree of
// what the program is built from and ships (components, their rights notices and licences,
// the icon sets). A double-click on a web address (the nodes with a state image) opens it.
//
// Callers make it with ui::ShowModalForm. Main thread only.
#pragma once

#include "controls/wide/wideforms.h"

#include <functional>
#include <string>

namespace classlib {
class TImageList;
}
namespace ui {
class TUiButton;
class TUiLabel;
}
namespace wide {
class TWideImage;
class TWideTreeView;
}

namespace tools {

// The file version of a program file ("\StringFileInfo\041103A4\FileVersion" of its version
// block); empty when the file has no version block or the table lacks the value.
std::wstring ReadFileVersion(const std::wstring& fileName);

// One line of the credits tree: its depth (0 a group, 1 an entry, 2 a line of the entry, 3
// a line below that) and its text; a web address opens on double-click.
struct TCreditLine {
    int Depth;
    const wchar_t* Text;
    bool Address = false;
};
// The credits, in tree order.
const std::vector<TCreditLine>& Credits();

class TVersionForm : public wide::TWideForm {
public:
    explicit TVersionForm(classlib::TComponent* owner);

    wide::TWideImage* ProgramIcon = nullptr;
    ui::TUiLabel* verlabel = nullptr;
    wide::TWideTreeView* WideTreeView1 = nullptr;
    classlib::TImageList* ImageList = nullptr;  // the state images: 1 marks a web address
    ui::TUiButton* OkButton = nullptr;

    // Opens a web address (the shell's "open"; replaceable).
    std::function<void(const std::wstring& address)> OpenAddress;
    // The double-click: the selected node's text is opened when the node is an address.
    void WideTreeView1DblClick();
};

}  // namespace tools
