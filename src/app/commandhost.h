// What the key, value and undo commands need from the main window: questions, input, a
// message, the refresh of the active registry window, the system clipboard and the tool
// panel. The main window implements it; the tests script it.
//
// Main thread only.
#pragma once

#include "undo/undoprovider.h"

#include <optional>
#include <string>
#include <vector>

namespace app {

class TCommandHost {
public:
    virtual ~TCommandHost() = default;

    // A warning with the buttons Yes and No; True only for Yes.
    virtual bool AskYesNo(const std::wstring& text) = 0;
    // The input box; False on Cancel. `value` holds the default and receives the answer.
    virtual bool InputText(const std::wstring& caption, const std::wstring& prompt,
                           std::wstring& value) = 0;
    virtual void ShowMessage(const std::wstring& text) = 0;
    // The refresh bracket after a key command: the active window unlocked, the selected
    // key's parent re-read with the selection kept, the window's lock put back.
    virtual void RefreshKeyTree() = 0;
    // The value list of the selected key filled again.
    virtual void RefreshValueList() = 0;
    // Every registry window re-read (after an undo).
    virtual void RefreshAllWindows() = 0;
    // The whole subtree below the selected key expanded.
    virtual void ExpandAllBelowSelected() = 0;
    // Unicode text on the system clipboard.
    virtual void SetClipboardText(const std::wstring& text) = 0;
    // The tool panel shown, turned to page `page` (0 search, 1 undo, 2 clipboard, 3 history).
    virtual void ShowToolPage(int page) = 0;
    // Long work: called now and then with the number of keys done so far (0 at the start);
    // False asks the work to stop. The host keeps its windows painted and shows the count.
    virtual bool Progress(size_t keysDone) = 0;
};

// The tool panel page of the two clipboards.
constexpr int ClipboardToolPage = 2;

// The settings the commands follow and what they act on.
struct TCommandContext {
    TCommandHost& Host;
    undo::TVxRegClipUndoProvider& Undo;
    bool NoAllMessage = false;  // "SetNoAllMessage": skip the questions that allow it
    bool KeyClip = false;       // "SetKeyClip": copied keys stay in the clipboard after a paste
    bool ValueClip = false;     // "SetValueClip": the same for values
};

// Selected rows (or, for none given, every row of a list of `count`) from the last to the
// first, each once: working from the end keeps the indexes of the rows still to do valid
// while entries are removed.
std::vector<int> RowsBottomUp(const std::optional<std::vector<int>>& rows, size_t count = 0);

}  // namespace app
