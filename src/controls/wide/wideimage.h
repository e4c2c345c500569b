// The Unicode image: a windowless control that shows an icon or a bitmap (the icon of the
// message boxes). The picture is drawn at the top-left corner, centred or stretched.
#pragma once

#include "classlib/control.h"
#include "classlib/graphics.h"

#include <memory>

namespace wide {

class TWideImage : public classlib::TGraphicControl {
public:
    explicit TWideImage(classlib::TComponent* owner);

    // The icon shown (owned as TIcon::SetHandle says); replaces a bitmap.
    classlib::TIcon& Icon() { return *FIcon; }
    void SetIcon(HICON icon, bool owned = true);
    // The bitmap shown when there is no icon; made on first use.
    classlib::TBitmap& Bitmap();
    void Clear();
    bool Center = false;
    bool Stretch = false;
    // Sizes the control to the picture (when AutoSize is on).
    bool AutoSize = false;
    void PictureChanged();

protected:
    void Paint() override;
    RECT DestRect(int width, int height);

    std::unique_ptr<classlib::TIcon> FIcon;
    std::unique_ptr<classlib::TBitmap> FBitmap;
};

}  // namespace wide
