#pragma once
// The themed dockable panel: a resizable dockable window with a caption bar and a close button
// while docked, painted by the current theme, that keeps separate client sizes for the docked,
// floating and split states. On a TThmMultiDock (thmmultidock.h) panels stand side by side and
// share the dock's length by their split sizes; on any other dock a panel takes a row of its
// own.
//
// Sizes: DockedWidth is the client width on a left or right dock, DockedHeight the client
// height on a top or bottom dock; FloatingWidth and FloatingHeight the client size while
// floating (0 until first needed, then taken from the docked size); SplitWidth and SplitHeight
// the panel's share of a multi-dock's length. While docked or floating, size changes of the
// window are written back into the sizes of that state, except while the size-update guard is
// set (changes the panel or its dock make themselves).
//
// User resizing while docked (the edge away from the dock, the split edges between panels of a
// multi-dock, the cursors over them and the two modal mouse loops) is in thmdockresize.cpp.
//
// Main thread only.

#include <windows.h>

#include <functional>

#include "classlib/control.h"
#include "controls/toolbar/tbdockable.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace themed {

class TThmMultiDock;

// The orientation of the docked caption bar. Auto: down the left edge on a top or bottom dock,
// across the top on a left or right dock.
enum TDPCaptionRotation { dpcrAuto, dpcrAlwaysHorz, dpcrAlwaysVert };

// The kinds of dock a panel may dock to (bit set).
using TDockKinds = unsigned;
constexpr TDockKinds dkStandardDock = 1;
constexpr TDockKinds dkMultiDock = 2;

enum TThmResizingStage { rsBeginResizing, rsResizing, rsEndResizing };
// Asked at each stage of a user resize: may change the new size (the panel's outer height
// when vertical, else its width) or refuse the step.
using TThmDockedResizing = std::function<void(classlib::TComponent* sender, bool vertical, int& newSize,
                                              TThmResizingStage stage, bool& allowResize)>;

// Non-client hit codes of the split edges between two panels of a multi-dock.
constexpr LRESULT HTSPLITLEFT = 86;
constexpr LRESULT HTSPLITRIGHT = 87;
constexpr LRESULT HTSPLITTOP = 88;
constexpr LRESULT HTSPLITBOTTOM = 89;

// Sides asked of HasSplitEdge.
constexpr int sideTop = 0, sideBottom = 1, sideLeft = 2, sideRight = 3;

class TThmCustomDockablePanel : public toolbar::TBarCustomDockableWindow,
                                public TThmThemeClient,
                                public TThmViewHost,
                                public TThmColorHost {
public:
    explicit TThmCustomDockablePanel(classlib::TComponent* owner);
    ~TThmCustomDockablePanel() override;

    // --- properties
    // The inner margin of the client area on every side.
    int BorderSize() const { return FBorderSize; }
    void SetBorderSize(int value);
    TDPCaptionRotation CaptionRotation() const { return FCaptionRotation; }
    void SetCaptionRotation(TDPCaptionRotation value);
    int DockedWidth() const { return FDockedWidth; }
    void SetDockedWidth(int value);
    int DockedHeight() const { return FDockedHeight; }
    void SetDockedHeight(int value);
    int FloatingWidth() const { return FFloatingWidth; }
    void SetFloatingWidth(int value);
    int FloatingHeight() const { return FFloatingHeight; }
    void SetFloatingHeight(int value);
    int SplitWidth() const { return FSplitWidth; }
    void SetSplitWidth(int value);
    int SplitHeight() const { return FSplitHeight; }
    void SetSplitHeight(int value);
    // Values below 8 are stored as 8; the window is not resized.
    int MinClientWidth() const { return FMinClientWidth; }
    void SetMinClientWidth(int value);
    int MinClientHeight() const { return FMinClientHeight; }
    void SetMinClientHeight(int value);
    // 0, or any value not above the minimum, means no limit.
    int MaxClientWidth() const { return FMaxClientWidth; }
    void SetMaxClientWidth(int value) { FMaxClientWidth = value; }
    int MaxClientHeight() const { return FMaxClientHeight; }
    void SetMaxClientHeight(int value) { FMaxClientHeight = value; }
    classlib::TCursor HorzResizeCursor = classlib::crSizeWE;
    classlib::TCursor VertResizeCursor = classlib::crSizeNS;
    classlib::TCursor HorzSplitCursor = classlib::crHSplit;
    classlib::TCursor VertSplitCursor = classlib::crVSplit;
    bool ShowCaptionWhenDocked() const { return FShowCaptionWhenDocked; }
    void SetShowCaptionWhenDocked(bool value);
    // Resizing moves the panel live; otherwise a line shows the new edge until release.
    bool SmoothDockedResize() const { return FSmoothDockedResize; }
    void SetSmoothDockedResize(bool value) { FSmoothDockedResize = value; }
    // Never negative; the floating window snaps to the work area's edges within it.
    int SnapDistance() const { return FSnapDistance; }
    void SetSnapDistance(int value);
    TDockKinds SupportedDocks() const { return FSupportedDocks; }
    void SetSupportedDocks(TDockKinds value) { FSupportedDocks = value; }
    TThmDockedResizing OnDockedResizing;

    // The background colour: Color, or the theme's fill colour of the panel's view kind.
    classlib::TColor EffectiveColor() const { return FEffectiveColor; }
    // Set by the edge resize loop while it runs: the multi-dock takes its thickness from this
    // panel.
    bool ResizedAtEdge() const { return FResizedAtEdge; }
    bool SplitResizing() const { return FSplitResizing; }

    // The client size the panel has on `dock` (null: floating). Floating sizes still 0 are
    // filled in first, from the current size or the docked ones.
    SIZE CalcSizeForDock(toolbar::TBarDock* dock);
    // Limits of the outer size: the client limits plus the docked frame; 0 for no maximum.
    virtual void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);
    // The caption runs down the left edge.
    virtual bool IsVertCaption();
    // Fills the record the theme paints the docked frame from (the caption text stays null).
    virtual void GetPanelInfo(TThmDockPanelFrameInfo& info);

    // --- user resizing (thmdockresize.cpp)
    // OnDockedResizing at the start; an allowed new size is applied. False cancels the resize.
    virtual bool BeginDockedResizing(bool vertical);
    // Corrects one step of a resize: within the form (32 pixels of it stay free) and the
    // client limits, then OnDockedResizing. False refuses the step.
    virtual bool ConstrainDockedSize(bool vertical, int& newSize);
    // OnDockedResizing at the end; false discards the resize.
    virtual bool EndDockedResizing(bool vertical);
    // A split edge exists on that side (sideTop...): the panel is docked on a multi-dock with
    // a neighbour there.
    bool HasSplitEdge(int side);

    // --- the dockable window
    void GetDockedNCAreaSize(int& width, int& height) override;
    bool AcceptsDock(toolbar::TBarDock* dock) override;
    void LayoutContent(bool applyCurrent, toolbar::TBarDockKind currentKind, bool targetFloating,
                       toolbar::TBarDock* targetDock, SIZE& size) override;
    void DrawNCArea(bool drawToDC, HDC dc, HRGN region) override;
    void GetContentSize(SIZE& size) override;
    void GetCloseButtonRect(bool vertical, RECT& rect) override;
    void GetClientSizeLimits(int& minWidth, int& minHeight, int& maxHeight, int& maxWidth) override;
    void BeforeSizeChange(int width, int height) override;
    void GetFloatingFrameSize(SIZE& size) override;
    // "DPDockedWidth", "DPDockedHeight", "DPFloatingWidth", "DPFloatingHeight", "DPSplitWidth",
    // "DPSplitHeight" under the panel's Name; a read defaults to the current value.
    void ReadExtraLayout(const toolbar::TBarLayoutReadProc& reader) override;
    void WriteExtraLayout(const toolbar::TBarLayoutWriteProc& writer) override;
    void Loaded() override;
    // A themed floating window, which snaps by the panel's SnapDistance.
    toolbar::TBarFloatingWindowParentClass FloatingParentClass() override;
    void SetParent(classlib::TWinControl* parent) override;

    // --- the theme
    int ThemeViewKind() override;
    classlib::TColor ThemeEffectiveColor() override { return FEffectiveColor; }
    void HandleThemeChange(int change, bool themeSwitched) override;

protected:
    void AdjustClientRect(RECT& rect) override;
    void InsertControl(classlib::TControl* control) override;
    void Dispatch(classlib::TMessage& message) override;
    void CMColorChanged(classlib::TMessage& message) override;
    void CMTextChanged(classlib::TMessage& message) override;
    void TearDown() override;

    // Runs `change` with the size-update guard set.
    template <class F>
    void Guarded(F change) {
        ++FSizeGuard;
        struct TLower {
            int& Guard;
            ~TLower() { --Guard; }
        } lower{FSizeGuard};
        change();
    }

private:
    friend class TThmMultiDock;
    void RecomputeEffectiveColor();
    void BroadcastColor();
    void RedrawOwnFrame();
    // Sets the width or height of the window to `client` plus the docked frame, guarded.
    void ApplyDockedSize(bool vertical, int client);
    toolbar::TBarDock* DockOrNull() const { return CurrentDock(); }
    bool DockIsVertical() const;

    // thmdockresize.cpp
    void WMNCCalcSizePanel(classlib::TMessage& m);
    void WMNCHitTestPanel(classlib::TMessage& m);
    bool WMSetCursorPanel(classlib::TMessage& m);
    bool WMNCLButtonDownPanel(classlib::TMessage& m);
    bool FireDockedResizing(bool vertical, int& newSize, TThmResizingStage stage);
    // OnDockedResizing at the start or end of a resize; an allowed new size is applied.
    bool AskDockedResizing(bool vertical, TThmResizingStage stage);
    void DockablePanelResizeLoop(LRESULT hitCode, POINT start);
    void DockablePanelSplitLoop(LRESULT hitCode, POINT start);

    int FBorderSize = 0;
    TDPCaptionRotation FCaptionRotation = dpcrAuto;
    int FDockedWidth = 128, FDockedHeight = 128;
    int FFloatingWidth = 0, FFloatingHeight = 0;
    int FSplitWidth = 0, FSplitHeight = 0;
    int FMinClientWidth = 32, FMinClientHeight = 32;
    int FMaxClientWidth = 0, FMaxClientHeight = 0;
    bool FShowCaptionWhenDocked = true;
    bool FSmoothDockedResize = true;
    int FSnapDistance = 0;
    TDockKinds FSupportedDocks = dkStandardDock | dkMultiDock;
    classlib::TColor FEffectiveColor = classlib::clBtnFace;
    bool FResizedAtEdge = false;
    bool FSplitResizing = false;
    int FSizeGuard = 0;
    bool FReleased = false;
};

// The panel as the program places it; everything is in TThmCustomDockablePanel.
class TThmDockablePanel : public TThmCustomDockablePanel {
public:
    using TThmCustomDockablePanel::TThmCustomDockablePanel;
};

// Recomputes the frame of `window` keeping its client size: a frame that grew or shrank is
// taken from both sides alike (moving the window by half the change), then the window, its
// frame and children repaint at once.
void RecalcFrame(classlib::TWinControl* window);

}  // namespace themed
