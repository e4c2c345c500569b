#pragma once
// The hint window of the themed items and controls: it shows a bitmap that the item drew its
// UTF-16 hint on (the shared hint bitmap, uitheme.h) instead of drawing text itself.
//
// The application makes and frees the window (THintInfo::HintWindowClass); the bitmap is the
// hint's data and is only read while the window shows. Main thread only.

#include "classlib/hintwindow.h"

namespace classlib {
class TBitmap;
}

namespace ui {

class TBitmapHint : public classlib::THintWindow {
public:
    explicit TBitmapHint(classlib::TComponent* owner);

    // The bitmap's size and the window's border around it; the text's size without a bitmap.
    RECT CalcHintRect(int maxWidth, const std::wstring& hint, void* data) override;
    // `data` is the TBitmap to show (null or an empty bitmap: the plain text hint).
    void ActivateHintData(RECT rect, const std::wstring& hint, void* data) override;
    void ActivateHint(RECT rect, const std::wstring& hint) override;
    classlib::TBitmap* Bitmap() const { return FBitmap; }
    // Set while ActivateHint runs.
    bool Activating() const { return FActivating; }

protected:
    void Paint() override;
    void Dispatch(classlib::TMessage& message) override;

private:
    classlib::TBitmap* FBitmap = nullptr;
    bool FActivating = false;
};

}  // namespace ui
