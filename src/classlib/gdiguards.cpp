#include "classlib/gdiguards.h"

#include "classlib/errors.h"
#include "classlib/graphics.h"

#include <algorithm>

namespace classlib {

TMemoryDC::TMemoryDC(HDC reference) : FDC(CreateCompatibleDC(reference)) {
    if (!FDC) throw EOutOfResources(L"システム リソースが不足しています");
}

TMemoryBitmap::TMemoryBitmap(HDC reference, int width, int height)
    : FDC(reference), FWidth(std::max(width, 1)), FHeight(std::max(height, 1)) {
    if (reference) {
        FBitmap = CreateCompatibleBitmap(reference, FWidth, FHeight);
    } else {
        TWindowDC screen(nullptr);
        FBitmap = CreateCompatibleBitmap(screen.Handle(), FWidth, FHeight);
    }
    if (!FBitmap) throw EOutOfResources(L"システム リソースが不足しています");
    FOld = SelectObject(FDC.Handle(), FBitmap);
}

TMemoryBitmap::~TMemoryBitmap() {
    if (FOld) SelectObject(FDC.Handle(), FOld);
    DeleteObject(FBitmap);
}

void TMemoryBitmap::CopyTo(HDC target, int x, int y) const {
    BitBlt(target, x, y, FWidth, FHeight, FDC.Handle(), 0, 0, SRCCOPY);
}

TCanvasDCScope::TCanvasDCScope(TCanvas& canvas, HDC dc)
    : FCanvas(canvas), FPrevious(canvas.HandleAllocated() ? canvas.Handle() : nullptr) {
    canvas.SetHandle(dc);
}

TCanvasDCScope::~TCanvasDCScope() { FCanvas.SetHandle(FPrevious); }

}  // namespace classlib
