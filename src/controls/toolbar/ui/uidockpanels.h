#pragma once
// The program's dockable panels: a multi-dock that may also fill the client area, and a
// themed dockable panel whose caption is a toolbar of its own at the top of the panel (a
// caption label, the panel's own items, and minimize, maximize and close buttons) instead
// of a caption drawn in the frame.
//
// Panels stacked on a left or right multi-dock can be minimized to their caption bar and one
// of them maximized (the others collapse to their caption bars); each panel keeps its state
// and the sizes to restore. When the user starts dragging a panel, its state is noted, so
// that dropping it back where it came from restores it as it was.
//
// Main thread only.

#include <windows.h>

#include <memory>
#include <string>

#include "classlib/control.h"
#include "controls/toolbar/themed/thmdockpanel.h"
#include "controls/toolbar/themed/thmmultidock.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/toolbar/ui/uititlebar.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "controls/toolbar/ui/uitypes.h"

namespace ui {

class TUiDockablePanel;

enum TUiDockPosition { dpxLeft, dpxTop, dpxRight, dpxBottom, dpxClient };

class TUiMultiDock : public themed::TThmMultiDock {
public:
    explicit TUiMultiDock(classlib::TComponent* owner);

    TUiDockPosition Position() const { return FPosition; }
    // EInvalidOperation once the dock holds controls; dpxClient is a right dock filling the
    // client area.
    void SetPosition(TUiDockPosition value);
    themed::TThmDockedResizing OnDockedResizing;
    // Has the last word on whether a window may dock here. (The dock's own request handler,
    // reached through TBarDock, first keeps a client-filling dock to drops inside it.)
    toolbar::TBarRequestDockEvent OnRequestDock;

    void ArrangeWindows() override;
    // OnDockedResizing at the resizing stage; false refuses the step.
    virtual bool DoDockedResizing(bool vertical, int& newSize);

private:
    TUiDockPosition FPosition = dpxTop;
};

// One state of a panel: what to restore when docked and when floating, and the flags.
struct TUiDockingState {
    toolbar::TBarDock* Dock = nullptr;
    TUiDockablePanel* Panel = nullptr;
    int Reserved1 = 0, Reserved2 = 0;
    int DockedWidth = 0, DockedHeight = 0;
    int FloatingWidth = 0, FloatingHeight = 0;
    bool Maximized = false;
    bool DockedMinimized = false;
    bool FloatingMinimized = false;
};

// The caption-bar buttons of a panel: by default only the close button beside the caption
// label; buttons 15 pixels wide and high. Minimize and maximize toggle the panel's states and
// show the restore glyph while the panel is in that state; close hides the panel.
class TUiDockablePanelButtonOptions : public TUiButtonOptions {
public:
    TUiDockablePanelButtonOptions(TUiDockablePanel* panel, TUiToolbar* toolbar);
    static constexpr int CustomWidth = 15;

    void ButtonClick(TUiCustomItem* sender) override;
    bool IsRestoreButton(TUiCustomItem* item) override;
    void SetupButton(TUiCustomItem* item) override;
    // Also copies the panel's caption into the caption label.
    void SetupButtons() override;

private:
    TUiDockablePanel* FPanel;
};

// The caption toolbar: a press on the empty part or on the caption label drags the panel, a
// double click there docks or floats it; presses on the buttons are clicks.
class TUiDockablePanelToolbar : public TUiToolbar {
public:
    explicit TUiDockablePanelToolbar(classlib::TComponent* owner);
    int GetRightAlignMargin() override { return 4; }
    bool CanItemClick(toolbar::TBarCustomItem* item, classlib::TMouseButton button, classlib::TShiftState shift,
                      int x, int y) override;
};

// The caption bar at the top of the panel: a compound bar (its own dock with the caption
// toolbar) whose background is the panel's caption bitmap.
class TUiDockablePanelCaptionBar : public TUiCompoundBar {
public:
    explicit TUiDockablePanelCaptionBar(TUiDockablePanel* panel);
    TUiDockablePanel* Panel() const { return FPanel; }
    void DoDrawDockBackground(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                              bool& paintDefault) override;

private:
    TUiDockablePanel* FPanel;
};

class TUiDockablePanel : public themed::TThmDockablePanel {
public:
    explicit TUiDockablePanel(classlib::TComponent* owner);
    ~TUiDockablePanel() override;

    // The wide caption and hint; the caption bar follows the caption.
    std::wstring GetCaption();
    void SetCaption(const std::wstring& value);
    std::wstring GetHint();
    void SetHint(const std::wstring& value);

    TUiDockablePanelButtonOptions& Options() { return *FOptions; }
    // The caption toolbar's items (the panel's own items go beside the caption label) and
    // images.
    toolbar::TBarRootItem* Items() const;
    classlib::TImageList* Images() const;
    void SetImages(classlib::TImageList* value);
    // Always horizontal: every other value is ignored.
    void SetCaptionRotation(themed::TDPCaptionRotation) {}
    // The client size on the first dock into an empty dock; values below 8 become 8.
    int DefaultDockedHeight() const { return FDefaultDockedHeight; }
    void SetDefaultDockedHeight(int value) { FDefaultDockedHeight = std::max(8, value); }
    int DefaultDockedWidth() const { return FDefaultDockedWidth; }
    void SetDefaultDockedWidth(int value) { FDefaultDockedWidth = std::max(8, value); }
    // The docked height cannot be changed by the user.
    bool FixedDockedSize = false;
    // The caption bar shows while floating (ShowCaption) or docked (ShowCaptionWhenDocked).
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool value);
    bool ShowCaptionWhenDocked() const { return FShowCaptionWhenDocked; }
    void SetShowCaptionWhenDocked(bool value);
    // Paints over or instead of the caption bar's background.
    TUiDrawEvent OnDrawCaptionPanel;
    TUiDockablePanelCaptionBar* CaptionBar() const { return FCaptionBar; }
    TUiToolbar* CaptionToolbar() const { return FCaptionBar ? FCaptionBar->Toolbar() : nullptr; }
    bool CaptionVisible();

    // --- states
    bool Minimized() const;
    bool Maximized() const;
    const TUiDockingState& State() const { return FState; }
    const TUiDockingState& DragSnapshot() const { return FSnapshot; }
    // The height of the caption area (the panel's height when minimized).
    int CaptionHeight();
    bool Minimize(bool distribute = false);
    bool Maximize();
    bool Restore(bool distribute = false);
    // The caption buttons: restore a minimized (maximized) panel, else minimize (maximize).
    void ToggleMinimize() { ToggleState(false); }
    void ToggleMaximize() { ToggleState(true); }
    // Restores every panel of the dock (not when floating).
    void RestoreAll();
    // Sets the panel's length on its dock (its height while floating); with distribute the
    // other panels share what is left evenly, else one neighbour takes the difference.
    bool SetPanelSize(int value, bool distribute);

    // --- the dockable panel
    void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) override;
    bool ConstrainDockedSize(bool vertical, int& newSize) override;
    void GetContentSize(SIZE& size) override;
    void GetPanelInfo(themed::TThmDockPanelFrameInfo& info) override;
    void GetClientSizeLimits(int& minWidth, int& minHeight, int& maxHeight, int& maxWidth) override;
    void DrawNCArea(bool drawToDC, HDC dc, HRGN region) override;
    void SetParent(classlib::TWinControl* parent) override;
    void Loaded() override;
    void HandleThemeChange(int change, bool themeSwitched) override;
    // Floats in the program's floating window.
    toolbar::TBarFloatingWindowParentClass FloatingParentClass() override;
    // Drops the caption bitmap, so that the next paint rebuilds it, and redraws.
    void InvalidateCaption(bool withChildren);

protected:
    friend class TUiDockablePanelCaptionBar;
    friend class TUiDockablePanelButtonOptions;
    // The caption dock's background: the caption bitmap, placed so that it continues under
    // the panel's frame.
    virtual void DrawCaptionBackground(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                       bool& paintDefault);
    virtual void DoDrawCaptionPanel(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                    bool& paintDefault);
    // Paints the caption background onto `canvas` at (x, y).
    void PaintCaptionBitmap(classlib::TCanvas& canvas, int x, int y);
    void UpdateButtons();
    void ApplyCaptionVisibility();
    void Dispatch(classlib::TMessage& message) override;
    void CMTextChanged(classlib::TMessage& message) override;
    void TearDown() override;
    // The caption bar joins the panel once the panel has its window.
    void CreateHandle() override;

private:
    struct TPanelCount {
        int Others = 0;
        int MinimizedCount = 0;
        TUiDockablePanel* FirstMinimized = nullptr;
        TUiDockablePanel* FirstMaximized = nullptr;
    };
    TPanelCount CountPanels();
    TUiDockablePanel* FindNeighbour();
    bool MaximizeInDock(bool restore);
    void ToggleState(bool maximize);
    void ApplyDockingRules();
    bool OnSideDock() const;
    bool OnEndDock() const;
    SIZE CaptionAreaSize();

    std::unique_ptr<TUiDockablePanelButtonOptions> FOptions;
    int FDefaultDockedHeight = 150;
    int FDefaultDockedWidth = 150;
    bool FUpdatingState = false;
    bool FShowCaptionWhenDocked = true;
    bool FShowCaption = true;
    TUiDockablePanelCaptionBar* FCaptionBar = nullptr;
    std::unique_ptr<classlib::TBitmap> FCaptionBitmap;
    bool FParentChanging = false;
    TUiDockingState FState;
    TUiDockingState FSnapshot;
};

}  // namespace ui
