// Driving dialogs: scripts that run inside the modal loop once a modal form is up, keys for a
// popup menu once it is open, and keys pressed together as the keyboard sends them. Main
// thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <vector>

#include "classlib/form.h"

namespace testsupport {

// The modal form of this thread that is active now, or null.
classlib::TForm* ActiveModalForm();

// Runs `script` inside the modal loop of the next modal form for which `match` holds, as
// soon as it is shown and active. A form that does not come within the wait fails the test.
void WhenModal(const std::function<bool(classlib::TForm&)>& match, std::function<void(classlib::TForm&)> script);
template <class T>
void WhenModal(std::function<void(T&)> script) {
    WhenModal([](classlib::TForm& f) { return dynamic_cast<T*>(&f) != nullptr; },
              [script = std::move(script)](classlib::TForm& f) { script(dynamic_cast<T&>(f)); });
}

// Shows `form` modally with `script` running inside its loop; the modal result.
classlib::TModalResult RunModal(classlib::TForm& form, std::function<void()> script);

// The keys that pick an item of the popup menu about to open, posted to `window` once it is
// open (its loop reads them from the thread's queue); a menu that does not open, or stays
// open after the wait, fails the test (and is closed).
void MenuKeys(HWND window, const std::vector<WORD>& keys);

// Presses `keys` together as the keyboard does (the last one is the key, those before it the
// modifiers held), then releases them in reverse; the window with the focus in the
// foreground window gets them.
void PressKeys(std::initializer_list<WORD> keys);

}  // namespace testsupport
