#include "controls/toolbar/ui/uihint.h"

#include "classlib/graphics.h"
#include "classlib/messages.h"
#include "classlib/scopeguard.h"

namespace ui {

using namespace classlib;

TBitmapHint::TBitmapHint(TComponent* owner) : THintWindow(owner) {}

RECT TBitmapHint::CalcHintRect(int maxWidth, const std::wstring& hint, void* data) {
    auto* bitmap = static_cast<TBitmap*>(data);
    if (!bitmap || bitmap->Empty()) return THintWindow::CalcHintRect(maxWidth, hint, data);
    // The window's one-pixel border lies around the whole bitmap.
    return RECT{0, 0, bitmap->Width() + 2, bitmap->Height() + 2};
}

void TBitmapHint::ActivateHintData(RECT rect, const std::wstring& hint, void* data) {
    FBitmap = static_cast<TBitmap*>(data);
    THintWindow::ActivateHintData(rect, hint, data);
}

void TBitmapHint::ActivateHint(RECT rect, const std::wstring& hint) {
    FActivating = true;
    auto done = ScopeExit([this] { FActivating = false; });
    THintWindow::ActivateHint(rect, hint);
}

void TBitmapHint::Paint() {
    if (!FBitmap || FBitmap->Empty()) {
        THintWindow::Paint();
        return;
    }
    Canvas().Draw(0, 0, *FBitmap);
}

void TBitmapHint::Dispatch(TMessage& m) {
    // The text is only the hint's ANSI-era twin: a change of it repaints nothing.
    if (m.Msg == CM_TEXTCHANGED) {
        m.Result = 1;
        return;
    }
    THintWindow::Dispatch(m);
}

}  // namespace ui
