// The Unicode image: a windowless control that shows its picture (the icon of the message
// boxes), drawn at the top-left corner, centred or stretched.
#pragma once

#include "classlib/control.h"
#include "classlib/graphics.h"

#include <functional>
#include <memory>

namespace wide {

// The picture of a TWideImage: an icon or a bitmap, one at a time. Every change made
// through it fires OnChange; after drawing on Bitmap() directly, call Changed().
class TWidePicture {
public:
    TWidePicture() : FIcon(std::make_unique<classlib::TIcon>()) {}
    TWidePicture(const TWidePicture&) = delete;
    TWidePicture& operator=(const TWidePicture&) = delete;

    // The icon (empty while the picture holds a bitmap).
    classlib::TIcon& Icon() { return *FIcon; }
    // Shows `icon` (owned as TIcon::SetHandle says) in place of a bitmap.
    void SetIcon(HICON icon, bool owned = true);
    // The bitmap; made on first use, dropping an icon.
    classlib::TBitmap& Bitmap();
    bool HasBitmap() const { return FBitmap && !FBitmap->Empty(); }
    void Clear();
    bool Empty() const { return FIcon->Empty() && !HasBitmap(); }
    int Width() const;
    int Height() const;
    // Copies the other picture's icon or bitmap (a picture of its own, not shared handles).
    void Assign(const TWidePicture& source);
    void Changed();

    std::function<void(TWidePicture& sender)> OnChange;

private:
    std::unique_ptr<classlib::TIcon> FIcon;
    std::unique_ptr<classlib::TBitmap> FBitmap;
};

class TWideImage : public classlib::TGraphicControl {
public:
    explicit TWideImage(classlib::TComponent* owner);

    TWidePicture& Picture() { return *FPicture; }
    TWidePicture& GetPicture() { return *FPicture; }
    // Copies `value` into the image's own picture.
    void SetPicture(const TWidePicture& value) { FPicture->Assign(value); }

    // Shortcuts to the picture.
    classlib::TIcon& Icon() { return FPicture->Icon(); }
    void SetIcon(HICON icon, bool owned = true) { FPicture->SetIcon(icon, owned); }
    classlib::TBitmap& Bitmap() { return FPicture->Bitmap(); }
    void Clear() { FPicture->Clear(); }

    bool Center = false;
    bool Stretch = false;
    // Sizes the control to the picture (when AutoSize is on).
    bool AutoSize = false;
    // Runs on every change of the picture: sizes (AutoSize) and repaints.
    void PictureChanged();

protected:
    void Paint() override;
    // The hint shown is the wide short hint (inherited from the parents when empty), with
    // the action's shortcut in the program's own shortcut text.
    void CMHintShow(classlib::TMessage& m) override;
    RECT DestRect(int width, int height);

    std::unique_ptr<TWidePicture> FPicture;
};

}  // namespace wide
