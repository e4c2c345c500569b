// The main window's pictures: four strips of 16 x 16 glyphs drawn by
// resources/app/make_app_images.py (magenta is left out), loaded once and handed to whatever
// draws them: the commands' strip to the action list, the menu bar, the toolbars and the
// popup menus; the registry objects to the value lists and the panes; the key-tree nodes to
// the key trees; the lock to the registry windows' tab strip. The features take theirs
// from their context when they make their controls.
#include "app/mainform.h"

#include "app/regedform.h"
#include "classlib/graphics.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "views/reglistview.h"
#include "views/regtreeview.h"
#include "widgets/vstab.h"

namespace app {

namespace {

// Key-tree nodes in their strip: closed and open (selected) of each kind.
constexpr int ComputerImage = 0;
constexpr int HiveImage = 2;
constexpr int KeyImage = 4;
// Value-list rows in the registry-object strip.
constexpr int BinaryValueImage = 0;
constexpr int StringValueImage = 1;

constexpr classlib::TColor LeftOutColour = 0xFF00FF;  // magenta

// An image list of the bitmap strip `resource` of the program; empty when the program has
// no such resource (a test program).
classlib::TImageList* LoadStrip(classlib::TComponent* owner, const wchar_t* resource) {
    auto* list = new classlib::TImageList(owner);
    classlib::TBitmap strip;
    if (strip.LoadFromResourceName(GetModuleHandleW(nullptr), resource)) list->AddStrip(strip, LeftOutColour);
    return list;
}

void SetPopupImages(classlib::TPopupMenu* menu, classlib::TImageList* images) {
    if (auto* bar = dynamic_cast<toolbar::TBarPopupMenu*>(menu)) bar->SetImages(images);
}

}  // namespace

void TMainForm::LoadPictures() {
    FToolBarImages = LoadStrip(this, L"TOOLBARIMAGES");
    FRegObjectImages = LoadStrip(this, L"REGOBJECTIMAGES");
    FRegTreeImages = LoadStrip(this, L"REGTREEIMAGES");
    FTabImages = LoadStrip(this, L"TABIMAGES");
}

void TMainForm::CreatePictures() {
    FActions->Images = FToolBarImages;
    for (ui::TUiToolbar* bar : {ToolMenuHide, ToolMenu, MainToolBar}) bar->SetImages(FToolBarImages);
    SetPopupImages(ToolMenuPopup, FToolBarImages);
    VxVSTab->SetImages(FTabImages);
}

void TMainForm::ApplyPictures(TRegEdForm& window) {
    views::TVxRegTreeView& tree = *window.VxRegTreeView;
    tree.SetImages(FRegTreeImages);
    tree.SetImageLocalComputerC(ComputerImage);
    tree.SetImageLocalComputerO(ComputerImage + 1);
    tree.SetImageLocalRootFolderC(HiveImage);
    tree.SetImageLocalRootFolderO(HiveImage + 1);
    tree.SetImageLocalFolderC(KeyImage);
    tree.SetImageLocalFolderO(KeyImage + 1);
    views::TVxRegListView& list = *window.VxRegListView;
    list.SetImages(FRegObjectImages);
    list.SetStringItemImage(StringValueImage);
    list.SetBinItemImage(BinaryValueImage);
    SetPopupImages(window.TreeMenu, FToolBarImages);
    SetPopupImages(window.ListMenu, FToolBarImages);
}

}  // namespace app
