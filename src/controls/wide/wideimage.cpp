#include "controls/wide/wideimage.h"

namespace wide {

using namespace classlib;

TWideImage::TWideImage(TComponent* owner) : TGraphicControl(owner), FIcon(std::make_unique<TIcon>()) {
    FWidth = 105;
    FHeight = 105;
}

void TWideImage::SetIcon(HICON icon, bool owned) {
    FIcon->SetHandle(icon, owned);
    FBitmap.reset();
    PictureChanged();
}

TBitmap& TWideImage::Bitmap() {
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    return *FBitmap;
}

void TWideImage::Clear() {
    FIcon->SetHandle(nullptr);
    FBitmap.reset();
    PictureChanged();
}

void TWideImage::PictureChanged() {
    if (AutoSize) {
        if (!FIcon->Empty())
            SetBounds(FLeft, FTop, FIcon->Width(), FIcon->Height());
        else if (FBitmap && FBitmap->Width() > 0)
            SetBounds(FLeft, FTop, FBitmap->Width(), FBitmap->Height());
    }
    Invalidate();
}

RECT TWideImage::DestRect(int width, int height) {
    RECT client = ClientRect();
    if (Stretch) return client;
    RECT r{0, 0, width, height};
    if (Center) OffsetRect(&r, (client.right - width) / 2, (client.bottom - height) / 2);
    return r;
}

void TWideImage::Paint() {
    if (!FIcon->Empty()) {
        int w = FIcon->Width(), h = FIcon->Height();
        RECT r = DestRect(w, h);
        DrawIconEx(Canvas().Handle(), r.left, r.top, FIcon->Handle(), r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
    } else if (FBitmap && FBitmap->Width() > 0) {
        RECT r = DestRect(FBitmap->Width(), FBitmap->Height());
        Canvas().StretchDraw(r, *FBitmap);
    }
}

}  // namespace wide
