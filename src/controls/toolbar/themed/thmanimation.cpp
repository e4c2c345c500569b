#include "controls/toolbar/themed/thmanimation.h"

#include <windows.h>

#include <algorithm>

#include "classlib/application.h"
#include "classlib/errors.h"

namespace themed {

namespace {

bool SystemSetting(UINT action) {
    BOOL on = FALSE;
    return SystemParametersInfoW(action, 0, &on, 0) && on;
}

}  // namespace

TThmMenuAnimation::TThmMenuAnimation(int mode)
    : FMode(std::clamp(mode, amNone, amFade)),
      FRandom(std::random_device{}()) {
    if (FMode == amSystem && !SystemSetting(SPI_GETMENUANIMATION)) FMode = amNone;
}

int TThmMenuAnimation::GetEffect() {
    switch (FMode) {
    case amSystem:
        if (!SystemSetting(SPI_GETMENUANIMATION)) return aeNone;
        return SystemSetting(SPI_GETMENUFADE) ? aeFade : aeSlide;
    case amRandom: return std::uniform_int_distribution<int>(aeUnfold, aeFade)(FRandom);
    case amUnfold: return aeUnfold;
    case amSlide: return aeSlide;
    case amFade: return aeFade;
    default: return aeNone;
    }
}

TThmMenuAnimation& MenuAnimation() {
    if (!classlib::Application) throw classlib::EInvalidOperation(L"The menu animation needs the application object");
    return classlib::Application->ProcessObject<TThmMenuAnimation>();
}

}  // namespace themed
