#include "controls/gridtree/gridtree_options.h"

#include <uxtheme.h>

#include "controls/gridtree/basetree.h"

namespace gridtree {

namespace {
bool Reacts(const TBaseGridTree* Tree) { return !Tree->IsLoading() && Tree->HasControlWindow(); }
}  // namespace

void TCustomGridTreeOptions::SetPaintOptions(TGTPaintOptions Value) {
    if (FPaintOptions == Value) return;
    TGTPaintOptions changed = FPaintOptions ^ Value;
    FPaintOptions = Value;
    if (!Reacts(FOwner)) return;
    if (changed & toThemeAware) {
        bool themed = (Value & toThemeAware) && IsThemeActive();
        if (themed) FOwner->DoStateChange(tsUseThemes, 0);
        else FOwner->DoStateChange(0, tsUseThemes);
        // Buttons and frame look different with and without themes.
        FOwner->PrepareBitmaps(true, true);
        RedrawWindow(FOwner->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_VALIDATE | RDW_FRAME);
    }
    FOwner->Invalidate();
}

void TCustomGridTreeOptions::SetAutoOptions(TGTAutoOptions Value) {
    if (FAutoOptions == Value) return;
    TGTAutoOptions changed = FAutoOptions ^ Value;
    FAutoOptions = Value;
    if ((changed & toAutoSpanColumns) && Reacts(FOwner)) FOwner->Invalidate();
}

void TCustomGridTreeOptions::SetSelectionOptions(TGTSelectionOptions Value) {
    if (FSelectionOptions == Value) return;
    TGTSelectionOptions old = FSelectionOptions;
    FSelectionOptions = Value;
    FOwner->SelectionOptionsChanged(old, Value);
}

void TCustomGridTreeOptions::SetMiscOptions(TGTMiscOptions Value) {
    if (FMiscOptions == Value) return;
    TGTMiscOptions changed = FMiscOptions ^ Value;
    FMiscOptions = Value;
    if (!Reacts(FOwner)) return;
    if (changed & toCheckSupport) FOwner->Invalidate();
    // The window's class style follows toFullRepaintOnResize; toAcceptOLEDrop registers the
    // window as OLE drop target.
    if (changed & toFullRepaintOnResize) FOwner->RecreateWnd();
    else if (changed & toAcceptOLEDrop) FOwner->UpdateDropTargetRegistration();
}

void TCustomGridTreeOptions::AssignTo(TCustomGridTreeOptions& Dest) const {
    Dest.SetPaintOptions(FPaintOptions);
    Dest.SetAnimationOptions(FAnimationOptions);
    Dest.SetAutoOptions(FAutoOptions);
    Dest.SetSelectionOptions(FSelectionOptions);
    Dest.SetMiscOptions(FMiscOptions);
}

// --- colours --------------------------------------------------------------------------

TGTColors::TGTColors(TBaseGridTree* AOwner) : FOwner(AOwner) {
    const TColor defaults[ColorCount] = {
        SystemColor(COLOR_BTNSHADOW), SystemColor(COLOR_HIGHLIGHT), SystemColor(COLOR_HIGHLIGHT),
        SystemColor(COLOR_HIGHLIGHT), SystemColor(COLOR_BTNFACE),   SystemColor(COLOR_BTNSHADOW),
        SystemColor(COLOR_BTNFACE),   SystemColor(COLOR_BTNFACE),   SystemColor(COLOR_WINDOWTEXT),
        SystemColor(COLOR_HIGHLIGHT), SystemColor(COLOR_BTNFACE),   SystemColor(COLOR_HIGHLIGHT),
        SystemColor(COLOR_HIGHLIGHT), SystemColor(COLOR_HIGHLIGHT), SystemColor(COLOR_BTNSHADOW)};
    for (int i = 0; i < ColorCount; ++i) FColors[i] = defaults[i];
}

void TGTColors::SetColor(int Index, TColor Value) {
    if (Index < 0 || Index >= ColorCount || FColors[Index] == Value) return;
    FColors[Index] = Value;
    if (!Reacts(FOwner)) return;
    // The tree lines and the button frames are drawn in TreeLineColor; the border ring in
    // BorderColor; every other colour shows in the rows.
    if (Index == 5) {
        FOwner->PrepareBitmaps(true, true);
        FOwner->Invalidate();
    } else if (Index == 7) {
        RedrawWindow(FOwner->Handle(), nullptr, nullptr, 0x461);
    } else {
        FOwner->Invalidate();
    }
}

void TGTColors::Assign(const TGTColors& Source) {
    for (int i = 0; i < ColorCount; ++i) FColors[i] = Source.FColors[i];
    if (FOwner->UpdateCount() == 0) FOwner->Invalidate();
}

// --- scroll bars ----------------------------------------------------------------------

void TScrollBarOptions::SetAlwaysVisible(bool Value) {
    if (FAlwaysVisible == Value) return;
    FAlwaysVisible = Value;
    // The bars are window styles: the window is made again with them.
    if (Reacts(FOwner)) FOwner->RecreateWnd();
}

void TScrollBarOptions::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    // The bars are window styles: the window is made again with them.
    if (Reacts(FOwner)) FOwner->RecreateWnd();
}

void TScrollBarOptions::SetScrollBarStyle(TScrollBarStyle Value) {
    if (Value != sbmRegular)
        throw EGridTreeAssertion(
            L"Flat scrollbars styles are disabled. Enable UseFlatScrollbars in GTConfig.inc forflat scrollbar "
            L"support.");
    FScrollBarStyle = Value;
}

void TScrollBarOptions::Assign(const TScrollBarOptions& Source) {
    SetAlwaysVisible(Source.FAlwaysVisible);
    HorizontalIncrement = Source.HorizontalIncrement;
    SetScrollBars(Source.FScrollBars);
    SetScrollBarStyle(Source.FScrollBarStyle);
    VerticalIncrement = Source.VerticalIncrement;
}

}  // namespace gridtree
