// UTF-16 text and hints of controls, and the hint window that shows them.
//
// Every window of the class library is a Unicode window and every text property is UTF-16,
// so the wide text of a control IS its text: these functions are the names the rest of the
// program uses for it. Hints are "short|long": the short part shows in the hint window,
// the long part becomes the application hint (status bar). A control without a hint of its
// own shows its nearest parent's.
#pragma once

#include "classlib/control.h"
#include "classlib/errors.h"
#include "classlib/hintwindow.h"
#include "controls/wide/widewin32.h"

#include <string>

namespace wide {

std::wstring GetWideControlText(classlib::TControl* control);
// Sets the text; nothing happens (no CM_TEXTCHANGED) when it is already that text. A text
// set before the window exists becomes the window's text when it is made.
void SetWideControlText(classlib::TControl* control, const std::wstring& value);
std::wstring GetWideControlHint(classlib::TControl* control);
void SetWideControlHint(classlib::TControl* control, const std::wstring& value);
// False when the control's caption / hint comes from its linked action.
bool WideControlIsCaptionStored(classlib::TControl* control);
bool WideControlIsHintStored(classlib::TControl* control);
// The control's hint, or the nearest parent's non-empty one; empty if none.
std::wstring GetInheritedWideHint(classlib::TControl* control);
// The text before / after the first "|"; the whole hint when there is none.
std::wstring WideShortHintPart(const std::wstring& hint);
std::wstring WideLongHintPart(const std::wstring& hint);

// The text a hint window shows for `control`: its short inherited hint, followed by
// " (shortcut)" when the application shows shortcuts and the control's action has one.
std::wstring WideHintTextOf(classlib::TControl* control);
// Fills the hint record of CM_HINTSHOW with that text.
void PrepareWideHintInfo(classlib::THintInfo& info);

// The hint window: measures and paints the text with DT_NOPREFIX, so "&" shows as is.
class TWideCustomHintWindow : public classlib::THintWindow {
public:
    explicit TWideCustomHintWindow(classlib::TComponent* owner) : classlib::THintWindow(owner) {}
};

class TWideHintWindow : public TWideCustomHintWindow {
public:
    using TWideCustomHintWindow::TWideCustomHintWindow;
};

}  // namespace wide
