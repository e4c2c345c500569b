// The screen: the forms of the program, the work area, cursors and the hint font.
// `Screen` is made and destroyed by the application object (null without one); main
// thread only.
#pragma once

#include "classlib/control.h"
#include "classlib/graphics.h"

#include <map>
#include <vector>

namespace classlib {

class TForm;

class TScreen {
public:
    TScreen();
    ~TScreen();

    int FormCount() const { return static_cast<int>(FForms.size()); }
    TForm* Forms(int index) const { return FForms[index]; }
    // The form whose window is (or owns) the active window of this thread.
    TForm* ActiveForm() const;

    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    RECT WorkAreaRect() const;
    int WorkAreaWidth() const { RECT r = WorkAreaRect(); return r.right - r.left; }
    int WorkAreaHeight() const { RECT r = WorkAreaRect(); return r.bottom - r.top; }

    // A global cursor that overrides every control's (crDefault: none).
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor value);
    // The handle of a cursor: standard ones from the system, custom ones as registered.
    // An unknown number gives the arrow.
    HCURSOR Cursors(TCursor index) const;
    // Registers a custom cursor (the screen destroys it when replaced or at the end).
    void SetCursors(TCursor index, HCURSOR cursor);

    TFont& HintFont() { return FHintFont; }
    TFont& MenuFont() { return FMenuFont; }

    void AddForm(TForm* form);
    void RemoveForm(TForm* form);

private:
    std::vector<TForm*> FForms;
    TCursor FCursor = crDefault;
    std::map<TCursor, HCURSOR> FCustom;
    TFont FHintFont;
    TFont FMenuFont;
};

extern TScreen* Screen;

}  // namespace classlib
