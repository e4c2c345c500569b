// The search dialogs driven as a user drives them: a host standing in for the main window,
// their files in a folder whose name lies outside the system's ANSI code page, and input
// posted to the windows (typed characters, keys, mouse clicks), with scripts that run
// inside a dialog's own modal loop once it is up.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/form.h"
#include "classlib/imagelist.h"
#include "classlib/timer.h"
#include "common/dialog_driving.h"
#include "common/test_support.h"
#include "searchui/findhost.h"
#include "undo/undoprovider.h"

namespace searchuitest {

// The main window's part: settings in memory, image lists of plain coloured squares, the
// regular-expression library as the test says, an undo list and the value writers.
class FakeHost : public searchui::IFindDialogHost {
public:
    FakeHost();
    ~FakeHost() override;

    std::map<std::wstring, std::wstring> Settings;
    bool RegexPresent = true;
    bool NoMessage = false;

    std::wstring ReadSettingString(const std::wstring& name, const std::wstring& defaultValue) override;
    void WriteSettingString(const std::wstring& name, const std::wstring& value) override;
    classlib::TImageList* ToolBarImages() override { return FToolBar.get(); }
    classlib::TImageList* ComponentImages() override { return FComponents.get(); }
    classlib::TImageList* RegistryObjectImages() override { return FObjects.get(); }
    bool RegexLibraryPresent() override { return RegexPresent; }
    bool SetNoMessage() override { return NoMessage; }
    undo::TVxRegClipUndoProvider& UndoProvider() override { return *FUndo; }
    search::TBulkValueWriters ValueWriters() override;

private:
    testsupport::ScratchDir FBackups;
    std::unique_ptr<classlib::TImageList> FToolBar, FComponents, FObjects;
    std::unique_ptr<undo::TVxRegClipUndoProvider> FUndo;
};

// --- Input --------------------------------------------------------------------------------

// Characters typed into a window (WM_CHAR each).
void Type(HWND window, const std::wstring& text);
// A key pressed and released on a window.
void Press(HWND window, WORD key);
// A click of the mouse (real input) at a client point of a control, its centre by default;
// one that would land where the last click went moves a few pixels aside (no double click).
// Messages posted on this thread (typed text, keys) are handled before it, also those
// posted after it.
void Click(classlib::TWinControl* control, POINT at = {-1, -1});

// Modal forms and popup menus (common/dialog_driving.h).
using testsupport::ActiveModalForm;
using testsupport::MenuKeys;
using testsupport::RunModal;
using testsupport::WhenModal;

// The next modal input box (a form of none of the dialogs' own classes): its focused text
// box gets `text`, then `key` is pressed there.
void AnswerBox(const std::wstring& text, WORD key);
// The message box that shows `message`: `key` is pressed on it (Enter: the default button,
// Esc: No or Cancel); `answered` is set then.
void AnswerQuestion(const std::wstring& message, WORD key, bool* answered = nullptr);

// What the application does when it is idle (the dialogs' buttons follow their lists).
void Idle();

}  // namespace searchuitest
