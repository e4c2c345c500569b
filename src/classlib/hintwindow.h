// The small window that shows a hint. The application makes one through its
// HintWindowClass factory; descendants change measuring (CalcHintRect) and painting.
#pragma once

#include "classlib/control.h"

#include <string>

namespace classlib {

class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* owner);

    // Shows `hint` in `rect` (screen coordinates).
    virtual void ActivateHint(RECT rect, const std::wstring& hint);
    virtual void ActivateHintData(RECT rect, const std::wstring& hint, void* data);
    // The size the hint needs within maxWidth (left/top 0).
    virtual RECT CalcHintRect(int maxWidth, const std::wstring& hint, void* data);
    // Hides the window.
    void ReleaseHandle();
    bool IsActive() const { return FActive; }

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void Dispatch(TMessage& m) override;
    bool FActive = false;
};

// Where a hint window goes: `hint` (CalcHintRect's rectangle, at 0,0) moved to `hintPos`,
// then kept inside `workArea`: moved left to end at its right edge; when it would reach
// below the bottom edge, moved above the cursor (its bottom 4 pixels above `cursorY`);
// finally moved right and down so its top-left corner is inside.
RECT PlaceHintRect(RECT hint, POINT hintPos, int cursorY, const RECT& workArea);

}  // namespace classlib
