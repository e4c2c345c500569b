#include "classlib/screen.h"

#include "classlib/form.h"

#include <algorithm>

namespace classlib {

TScreen* Screen = nullptr;

TScreen::TScreen() {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
        FHintFont.AssignLogFont(ncm.lfStatusFont);
        FMenuFont.AssignLogFont(ncm.lfMenuFont);
    }
    FHintFont.SetColor(clInfoText);
    FMenuFont.SetColor(clMenuText);
}

TScreen::~TScreen() {
    for (auto& [k, v] : FCustom) DestroyCursor(v);
}

TForm* TScreen::ActiveForm() const {
    HWND w = GetActiveWindow();
    while (w) {
        if (auto* f = dynamic_cast<TForm*>(FindControl(w))) return f;
        w = GetWindow(w, GW_OWNER);
    }
    return nullptr;
}

RECT TScreen::WorkAreaRect() const {
    RECT r{0, 0, Width(), Height()};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

void TScreen::SetCursor(TCursor v) {
    if (v == FCursor) return;
    FCursor = v;
    POINT p;
    GetCursorPos(&p);
    // Show the new cursor at once, not at the next mouse move.
    if (v != crDefault) ::SetCursor(Cursors(v));
    else SetCursorPos(p.x, p.y);
}

HCURSOR TScreen::Cursors(TCursor i) const {
    auto it = FCustom.find(i);
    if (it != FCustom.end()) return it->second;
    const wchar_t* id = IDC_ARROW;
    switch (i) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS:
    case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE:
    case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNoDrop:
    case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
    }
    return LoadCursorW(nullptr, id);
}

void TScreen::SetCursors(TCursor i, HCURSOR c) {
    auto it = FCustom.find(i);
    if (it != FCustom.end()) {
        if (it->second != c) DestroyCursor(it->second);
        if (!c) {
            FCustom.erase(it);
            return;
        }
    }
    if (c) FCustom[i] = c;
}

void TScreen::AddForm(TForm* f) { FForms.push_back(f); }

void TScreen::RemoveForm(TForm* f) { FForms.erase(std::remove(FForms.begin(), FForms.end(), f), FForms.end()); }

}  // namespace classlib
