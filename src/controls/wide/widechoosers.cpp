#include "controls/wide/widechoosers.h"

#include <commdlg.h>

namespace wide {

bool ChooseColorDialog(HWND owner, COLORREF& colour, TCustomColors& customColors) {
    try {
        TCustomColors custom = customColors;
        CHOOSECOLORW choice{};
        choice.lStructSize = sizeof(choice);
        choice.hwndOwner = owner;
        choice.rgbResult = colour & 0x00FFFFFF;
        choice.lpCustColors = custom.data();
        choice.Flags = CC_RGBINIT | CC_FULLOPEN;
        if (!ChooseColorW(&choice)) return false;
        colour = choice.rgbResult & 0x00FFFFFF;
        customColors = custom;
        return true;
    } catch (...) {
        return false;
    }
}

bool ChooseFontDialog(HWND owner, classlib::TFont& font, int minPoints, int maxPoints) {
    try {
        LOGFONTW logFont{};
        GetObjectW(font.Handle(), sizeof(logFont), &logFont);
        CHOOSEFONTW choice{};
        choice.lStructSize = sizeof(choice);
        choice.hwndOwner = owner;
        choice.lpLogFont = &logFont;
        choice.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
        if (minPoints > 0 || maxPoints > 0) {
            choice.Flags |= CF_LIMITSIZE;
            choice.nSizeMin = minPoints;
            choice.nSizeMax = maxPoints;
        }
        if (!ChooseFontW(&choice)) return false;
        font.AssignLogFont(logFont);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace wide
