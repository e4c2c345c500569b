#pragma once
// The multi-dock: a dock that holds only themed dockable panels (thmdockpanel.h) and lays them
// out side by side in one row (a column on a left or right dock), sharing its length between
// them by their split sizes within their limits, all as thick as the thickest.
//
// The length calculations are plain functions over records, so that their arithmetic can be
// checked without windows: the share of each panel when the dock's length changes, and the
// sizes a split drag between two panels gives.
//
// Main thread only.

#include <vector>

#include "controls/toolbar/tbdock.h"

namespace themed {

class TThmCustomDockablePanel;

// --- lengths --------------------------------------------------------------------------------------

// One panel's length along the dock with its limits (Max not below Min).
struct TThmDockLength {
    int Size = 0;
    int Min = 0;
    int Max = 0;
};

// Limits as the arrangement uses them: a maximum below the minimum means none, and becomes the
// available length (the minimum when that is still smaller); the size is then clamped into them.
TThmDockLength MakeDockLength(int size, int minLength, int maxLength, int available);

// Brings the sizes to add up to `length`: every minimum when the minima need that much or
// more, every maximum when the maxima give no more, else the difference is spread over the
// panels that can still change, in order, by the exact rounded shares of a running total
// (halves to even): 100, 100, 100 on 301 gives 100, 101, 100. A panel that meets a limit
// keeps it and the rest is spread again among the others.
void DistributeDockLength(std::vector<TThmDockLength>& panels, int length);

// The sizes after a split drag by `movement` along the dock on the splitter after panel
// `splitter`, starting from each panel's Size: the panels up to the splitter grow (nearest
// first, each within its limits, the rest passing on), the panels after it shrink by what was
// taken (nearest first); what the second side cannot give is taken back from the first.
std::vector<int> SplitDockLengths(const std::vector<TThmDockLength>& panels, int splitter, int movement);

// --- the dock -------------------------------------------------------------------------------------

class TThmMultiDock : public toolbar::TBarDock {
public:
    explicit TThmMultiDock(classlib::TComponent* owner);

    // Only themed dockable panels.
    bool AcceptsWindow(toolbar::TBarCustomDockableWindow* window) override;
    void ArrangeWindows() override;
    // The thickness of the last arrangement with panels (0 before).
    int LastThickness() const { return FLastThickness; }

    // The shown panels in the order of their places along the dock.
    std::vector<TThmCustomDockablePanel*> PanelsByPosition() const;

protected:
    // Raises EInvalidOperation "Cannot insert %s into TThmMultiDock" for anything but a
    // themed dockable panel.
    void InsertControl(classlib::TControl* control) override;

private:
    int FLastThickness = 0;
};

}  // namespace themed
