// The main window's part in mouse gestures and its view toggles, as data and pure rules.
#pragma once

#include "app/actiontable.h"

#include <array>
#include <optional>
#include <string>

namespace app {

// The text of the status bar's gesture label while a gesture is drawn: "■" and the marks,
// then the caption of the command bound to them in parentheses when there is one. None
// for no marks yet (the label keeps its text).
std::optional<std::wstring> GestureLabelText(const std::wstring& marks,
                                             const std::wstring& commandCaption);

// The form that is active when a gesture starts.
enum class TActiveFormKind { None, MainWindow, RegistryWindow, Other };
// A gesture starts over the main window, a registry window or with no active form; over any
// other form (a dialog) it is cancelled.
constexpr bool GestureMayStart(TActiveFormKind active) { return active != TActiveFormKind::Other; }

// The marks a wheel turn adds to a running gesture.
constexpr const wchar_t* WheelMark(bool up) { return up ? L"△" : L"▽"; }

// The five view commands and the component each shows or hides; a command is checked iff
// its component is visible.
struct TViewToggleDef {
    TActionId Action;
    const wchar_t* Component;
};
extern const std::array<TViewToggleDef, 5> ViewToggleDefs;
// The component of a view command, or null.
const wchar_t* ViewToggleComponent(TActionId action);

}  // namespace app
