#include "controls/wide/wideimage.h"

#include "controls/wide/widecontrols.h"

namespace wide {

using namespace classlib;

// --- TWidePicture ----------------------------------------------------------------------------

void TWidePicture::SetIcon(HICON icon, bool owned) {
    FIcon->SetHandle(icon, owned);
    FBitmap.reset();
    Changed();
}

TBitmap& TWidePicture::Bitmap() {
    if (!FBitmap) {
        FIcon->SetHandle(nullptr);
        FBitmap = std::make_unique<TBitmap>();
    }
    return *FBitmap;
}

void TWidePicture::Clear() {
    FIcon->SetHandle(nullptr);
    FBitmap.reset();
    Changed();
}

int TWidePicture::Width() const {
    if (!FIcon->Empty()) return FIcon->Width();
    return HasBitmap() ? FBitmap->Width() : 0;
}

int TWidePicture::Height() const {
    if (!FIcon->Empty()) return FIcon->Height();
    return HasBitmap() ? FBitmap->Height() : 0;
}

void TWidePicture::Assign(const TWidePicture& source) {
    if (&source == this) return;
    FIcon->SetHandle(nullptr);
    FBitmap.reset();
    if (!source.FIcon->Empty()) {
        FIcon->SetHandle(CopyIcon(source.FIcon->Handle()), true);
    } else if (source.HasBitmap()) {
        auto bitmap = std::make_unique<TBitmap>();
        if (HANDLE copy = CopyImage(source.FBitmap->Handle(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
            bitmap->Assign(static_cast<HBITMAP>(copy));
        bitmap->Transparent = source.FBitmap->Transparent;
        bitmap->TransparentColor = source.FBitmap->TransparentColor;
        FBitmap = std::move(bitmap);
    }
    Changed();
}

void TWidePicture::Changed() {
    if (OnChange) OnChange(*this);
}

// --- TWideImage ------------------------------------------------------------------------------

TWideImage::TWideImage(TComponent* owner) : TGraphicControl(owner), FPicture(std::make_unique<TWidePicture>()) {
    FWidth = 105;
    FHeight = 105;
    FPicture->OnChange = [this](TWidePicture&) { PictureChanged(); };
}

void TWideImage::PictureChanged() {
    if (AutoSize && !FPicture->Empty()) SetBounds(FLeft, FTop, FPicture->Width(), FPicture->Height());
    Invalidate();
}

void TWideImage::CMHintShow(TMessage& m) {
    if (auto* info = reinterpret_cast<THintInfo*>(m.LParam)) PrepareWideHintInfo(*info);
    TGraphicControl::CMHintShow(m);
}

RECT TWideImage::DestRect(int width, int height) {
    RECT client = ClientRect();
    if (Stretch) return client;
    RECT r{0, 0, width, height};
    if (Center) OffsetRect(&r, (client.right - width) / 2, (client.bottom - height) / 2);
    return r;
}

void TWideImage::Paint() {
    TIcon& icon = FPicture->Icon();
    if (!icon.Empty()) {
        RECT r = DestRect(icon.Width(), icon.Height());
        DrawIconEx(Canvas().Handle(), r.left, r.top, icon.Handle(), r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
    } else if (FPicture->HasBitmap()) {
        TBitmap& bitmap = FPicture->Bitmap();
        RECT r = DestRect(bitmap.Width(), bitmap.Height());
        Canvas().StretchDraw(r, bitmap);
    }
}

}  // namespace wide
