// The hive-size tool "レジストリサイズ計測ツール": measures the hive files (regsize.h), lists
// their sizes in kilobytes or megabytes with a text report of the total and the running
// Windows, saves the sizes as a snapshot in "Settings\RegSize" and compares a saved snapshot
// with the current sizes. It touches neither the registry nor any setting.
//
// Callers make it with ui::ShowModalForm (its owner centres nothing: it opens in the middle of
// the screen). Main thread only.
#pragma once

#include "controls/wide/wideforms.h"
#include "tools/regsize.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {
class TUiButton;
class TUiListBox;
class TUiRadioButton;
struct TNotebookPages;
}
namespace wide {
class TWideListView;
class TWideMemo;
}
namespace widgets {
class TVxVSTab;
}

namespace tools {

class TRegSizeForm : public wide::TWideForm {
public:
    // `snapshotFolder`: where the snapshots are kept ("Settings\RegSize\" beside the program
    // when empty). `folders`: where the hive files lie (the running system's when empty).
    explicit TRegSizeForm(classlib::TComponent* owner, std::wstring snapshotFolder = L"", THiveFolders folders = {});
    ~TRegSizeForm() override;

    widgets::TVxVSTab* VxVSTab = nullptr;  // "比較" (0), "リストレポート" (1)
    ui::TUiRadioButton* kbCheck = nullptr;
    ui::TUiRadioButton* mbCheck = nullptr;
    ui::TUiListBox* UiListBox = nullptr;            // the snapshots (page 0)
    wide::TWideListView* WideListViewSize = nullptr;  // the differences (page 0)
    wide::TWideListView* WideListView = nullptr;      // the sizes (page 1)
    ui::TUiButton* saveRegSizeButton = nullptr;
    wide::TWideMemo* WideMemo = nullptr;
    ui::TUiButton* OkButton = nullptr;

    TSizeUnit Unit() const;
    // Shows a message to the user (the program's message box; replaceable).
    std::function<void(const std::wstring& text)> Tell;

    // The sizes measured last, in the measuring order.
    const std::vector<THiveSize>& Sizes() const { return FSizes; }

    // Measures the files again and fills the list and the report.
    void MeasureHives();
    // Saves the current sizes as a new snapshot and says so.
    void saveRegSizeButtonClick();
    // The notebook shows the active tab's page; the files are measured and the snapshot list
    // is read again.
    void VxVSTabChange();
    // The differences to the selected snapshot.
    void UiListBoxClick();
    // The unit clicked becomes the one in use: the list, the report and the differences follow.
    void kbCheckClick();

private:
    std::wstring FSnapshotFolder;
    THiveFolders FFolders;
    std::vector<THiveSize> FSizes;
    wchar_t FDecimal;
    std::unique_ptr<ui::TNotebookPages> FPages;
};

}  // namespace tools
