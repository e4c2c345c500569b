// TImageList: a list of same-sized images over a comctl32 image list (32-bit colour with a
// mask). Clients that show its images register a TChangeLink and are told of every change
// (add, delete, replace, clear, new size). The list owns its HIMAGELIST. Main thread only.
#pragma once

#include "classlib/component.h"
#include "classlib/graphics.h"

#include <commctrl.h>

#include <functional>
#include <vector>

namespace classlib {

class TImageList;

// One client's interest in an image list; unregisters itself when destroyed.
class TChangeLink {
public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;
    TImageList* Sender = nullptr;
    std::function<void(TImageList*)> OnChange;
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner, int width = 16, int height = 16);
    ~TImageList() override;

    HIMAGELIST Handle() const { return FHandle; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // A new size empties the list.
    void SetSize(int width, int height);
    int Count() const;

    // Adds an image with an optional mask (white = transparent); returns its index or -1.
    int Add(TBitmap& image, TBitmap* mask = nullptr);
    // Adds an image whose pixels of `maskColor` are transparent (clDefault: the bottom-left pixel).
    int AddMasked(TBitmap& image, TColor maskColor);
    int AddIcon(TIcon& icon);
    // Adds every `Width`-wide slice of a strip bitmap, transparent where it has `maskColor`.
    int AddStrip(TBitmap& strip, TColor maskColor);
    void Replace(int index, TBitmap& image, TBitmap* mask = nullptr);
    void Delete(int index);
    void Clear();
    // Draws image `index`; disabled images are drawn greyed.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true,
              TDrawingStyle style = dsNormal) const;
    // An icon made of image `index` (the caller owns it).
    HICON GetIcon(int index) const;

    TColor BkColor = clNone;
    TColor BlendColor = clNone;
    TNotifyEvent OnChange;
    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

private:
    void Change();
    void Create();
    HIMAGELIST FHandle = nullptr;
    int FWidth, FHeight;
    int FUpdateCount = 0;
    bool FChanged = false;
    std::vector<TChangeLink*> FLinks;
};

}  // namespace classlib
