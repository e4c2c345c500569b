#include "classlib/imagelist.h"

#include "classlib/errors.h"
#include "classlib/gdiguards.h"

#include <algorithm>

namespace classlib {

TChangeLink::~TChangeLink() {
    if (Sender) Sender->UnRegisterChanges(this);
}

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), FWidth(std::max(1, width)), FHeight(std::max(1, height)) {
    Create();
}

TImageList::~TImageList() {
    for (TChangeLink* l : FLinks) l->Sender = nullptr;
    FLinks.clear();
    if (FHandle) ImageList_Destroy(FHandle);
}

void TImageList::Create() {
    if (FHandle) ImageList_Destroy(FHandle);
    FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | ILC_MASK, 4, 4);
    if (!FHandle) throw EOutOfResources(L"Image list could not be created");
}

void TImageList::SetSize(int w, int h) {
    w = std::max(1, w);
    h = std::max(1, h);
    if (w == FWidth && h == FHeight) return;
    FWidth = w;
    FHeight = h;
    Create();
    Change();
}

int TImageList::Count() const { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

namespace {

// A monochrome mask where `key` pixels of `image` are set (transparent).
HBITMAP MakeMask(TBitmap& image, COLORREF key) {
    int w = image.Width(), h = image.Height();
    TBitmap mono(w, h, pf1bit);
    for (int y = 0; y < h; ++y) {
        auto* src = static_cast<const DWORD*>(image.ScanLine(y));
        auto* dst = static_cast<BYTE*>(mono.ScanLine(y));
        if (!src || !dst) break;
        memset(dst, 0, static_cast<size_t>((w + 31) / 32 * 4));
        for (int x = 0; x < w; ++x) {
            DWORD p = src[x] & 0xFFFFFF;
            COLORREF c = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            if (c == key) dst[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    BITMAP bm{};
    GetObjectW(mono.Handle(), sizeof(bm), &bm);
    // A device-dependent copy: the image list wants a plain monochrome bitmap.
    TGdiObject<HBITMAP> ddb(CreateBitmap(w, h, 1, 1, nullptr));
    TMemoryDC a, b;
    TSelectedObject sa(a.Handle(), mono.Handle()), sb(b.Handle(), ddb.Handle());
    BitBlt(b.Handle(), 0, 0, w, h, a.Handle(), 0, 0, SRCCOPY);
    return ddb.Release();
}

}  // namespace

int TImageList::Add(TBitmap& image, TBitmap* mask) {
    if (image.Empty()) return -1;
    int r = ImageList_Add(FHandle, image.Handle(), mask ? mask->Handle() : nullptr);
    if (r >= 0) Change();
    return r;
}

int TImageList::AddMasked(TBitmap& image, TColor maskColor) {
    if (image.Empty()) return -1;
    image.SetPixelFormat(pf32bit);
    COLORREF key = maskColor == clDefault ? image.Canvas().Pixel(0, image.Height() - 1) : ColorToRGB(maskColor);
    TGdiObject<HBITMAP> m(MakeMask(image, key));
    // Transparent pixels are black in the image so the mask shows what lies below.
    for (int y = 0; y < image.Height(); ++y) {
        auto* row = static_cast<DWORD*>(image.ScanLine(y));
        for (int x = 0; x < image.Width(); ++x) {
            DWORD p = row[x] & 0xFFFFFF;
            if (RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) == key) row[x] = 0;
        }
    }
    int r = ImageList_Add(FHandle, image.Handle(), m.Handle());
    if (r >= 0) Change();
    return r;
}

int TImageList::AddStrip(TBitmap& strip, TColor maskColor) {
    const int count = strip.Width() / FWidth;
    if (count <= 0 || strip.Height() <= 0) return -1;
    if (maskColor == clDefault) {
        // Every slice takes the colour of its own corner.
        int first = -1;
        BeginUpdate();
        for (int x = 0; x + FWidth <= strip.Width(); x += FWidth) {
            TBitmap part(FWidth, FHeight, pf32bit);
            RECT d{0, 0, FWidth, FHeight}, s{x, 0, x + FWidth, FHeight};
            part.Canvas().CopyRect(d, strip.Canvas(), s);
            int r = AddMasked(part, maskColor);
            if (first < 0) first = r;
        }
        EndUpdate();
        return first;
    }
    // One colour for all: the slices go in with one mask, in one call (the list cuts a wide
    // bitmap into images of its width).
    TBitmap whole(count * FWidth, FHeight, pf32bit);
    RECT d{0, 0, count * FWidth, FHeight};
    whole.Canvas().CopyRect(d, strip.Canvas(), d);
    return AddMasked(whole, maskColor);
}

int TImageList::AddIcon(TIcon& icon) {
    if (icon.Empty()) return -1;
    int r = ImageList_AddIcon(FHandle, icon.Handle());
    if (r >= 0) Change();
    return r;
}

void TImageList::Replace(int index, TBitmap& image, TBitmap* mask) {
    if (index < 0 || index >= Count()) throw EInvalidOperation(L"Invalid image index");
    ImageList_Replace(FHandle, index, image.Handle(), mask ? mask->Handle() : nullptr);
    Change();
}

void TImageList::Delete(int index) {
    if (index < 0 || index >= Count()) throw EInvalidOperation(L"Invalid image index");
    ImageList_Remove(FHandle, index);
    Change();
}

void TImageList::Clear() {
    ImageList_Remove(FHandle, -1);
    Change();
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled, TDrawingStyle style) const {
    if (index < 0 || index >= Count()) return;
    UINT flags = ILD_TRANSPARENT;
    if (style == dsFocus) flags |= ILD_FOCUS;
    if (style == dsSelected) flags |= ILD_SELECTED;
    if (enabled) {
        ImageList_DrawEx(FHandle, index, canvas.Handle(), x, y, 0, 0, CLR_NONE,
                         BlendColor == clNone ? CLR_DEFAULT : ColorToRGB(BlendColor), flags);
        return;
    }
    IMAGELISTDRAWPARAMS p{};
    p.cbSize = sizeof(p);
    p.himl = FHandle;
    p.i = index;
    p.hdcDst = canvas.Handle();
    p.x = x;
    p.y = y;
    p.rgbBk = CLR_NONE;
    p.rgbFg = CLR_DEFAULT;
    p.fStyle = ILD_TRANSPARENT;
    p.fState = ILS_SATURATE;
    if (!ImageList_DrawIndirect(&p)) {
        // Without the saturate state: draw it blended with the face colour.
        ImageList_DrawEx(FHandle, index, canvas.Handle(), x, y, 0, 0, CLR_NONE, GetSysColor(COLOR_BTNFACE),
                         ILD_TRANSPARENT | ILD_BLEND50);
    }
}

HICON TImageList::GetIcon(int index) const { return ImageList_GetIcon(FHandle, index, ILD_NORMAL); }

void TImageList::RegisterChanges(TChangeLink* l) {
    if (std::find(FLinks.begin(), FLinks.end(), l) == FLinks.end()) FLinks.push_back(l);
    l->Sender = this;
}

void TImageList::UnRegisterChanges(TChangeLink* l) {
    FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), l), FLinks.end());
    l->Sender = nullptr;
}

void TImageList::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChanged) Change();
}

void TImageList::Change() {
    if (FUpdateCount > 0) {
        FChanged = true;
        return;
    }
    FChanged = false;
    for (TChangeLink* l : std::vector<TChangeLink*>(FLinks))
        if (l->OnChange) l->OnChange(this);
    if (OnChange) OnChange(this);
}

}  // namespace classlib
