// A multi-row strip of owner-painted tabs with UTF-16 captions.
//
// The tabs wrap into as many rows as the width needs and the strip sets its own height to
// fit them: at once when the tabs, the active tab, the font, the images or the tab width
// change, and together with a new width (the height given with it is replaced; a parent's
// layout places the strip by the height it took). Painting never changes the size: a row
// count it finds different (an image answer of OnGetImageIndex changed, say) is fitted by a
// queued call after the paint. The strip keeps no link to what its tabs stand for: its owner
// keeps `Tabs` in step with its windows or pages and reacts to OnChange.
//
// Layout is never kept: painting, hit tests and hints recompute it (LayoutTabs). Rows are
// numbered from the one next to the content: row 0 is the top row, or, with Reversing
// (tabs hanging down below the content), also the top row, which then touches the
// content above. ActiveTabLineTopView moves the active tab's row next to the content.
//
// Setting ActiveTabIndex always asks OnChanging and fires OnChange, also for the current
// value; there is no range check (an index without a tab simply shows no active tab).
// Main thread only.
#pragma once

#include "classlib/control.h"
#include "classlib/hintwindow.h"
#include "classlib/imagelist.h"
#include "controls/wide/widestrings.h"

#include <functional>
#include <string>
#include <vector>

namespace widgets {

class TVxVSTab;

using TVxVSTChangingEvent = std::function<void(classlib::TComponent* sender, int newTabIndex, bool& allowChange)>;
using TVxVSTGetImageIndex = std::function<void(classlib::TComponent* sender, int tabIndex, int& imageIndex)>;
using TVxVSTGetHintStrEvent = std::function<void(classlib::TComponent* sender, int tabIndex, std::wstring& newHint)>;
using TVxVSTMiddleClose = std::function<void(classlib::TComponent* sender, int tabIndex, bool& allowClose)>;

// The captions of a strip. After every change the strip keeps a valid active tab: an
// active index past the end moves to the last tab (-1 for an empty list), and a strip
// without an active tab activates its last one; then it repaints.
class TVxVSTabStrings : public wide::TWideStringList {
public:
    explicit TVxVSTabStrings(TVxVSTab* owner) : FOwner(owner) {}

protected:
    void Changed() override;

private:
    friend class TVxVSTab;
    TVxVSTab* FOwner;
};

// One tab as laid out: caption, rectangle, tab index, row, active flag, height.
struct TVxVSTabClass {
    std::wstring Caption;
    RECT Rect{};
    int TabIndex = -1;
    int Row = 0;
    bool Active = false;
    int Height = 0;
};

// The hint window of the strip: the text in clInfoText, word-wrapped, 2 pixels in.
class TVSTabHintWindow : public classlib::THintWindow {
public:
    using classlib::THintWindow::THintWindow;
    void ActivateHint(RECT rect, const std::wstring& hint) override;
    const std::wstring& Text() const { return FText; }

protected:
    void Paint() override;

private:
    std::wstring FText;
};

class TVxVSTab : public classlib::TCustomControl {
public:
    explicit TVxVSTab(classlib::TComponent* owner);
    ~TVxVSTab() override;

    TVxVSTabStrings& Tabs() { return FTabs; }
    void SetTabs(const wide::TWideStrings& value) { FTabs.Assign(value); }

    int ActiveTabIndex() const { return FActiveTabIndex; }
    void SetActiveTabIndex(int value);
    bool ActiveTabLineTopView() const { return FActiveTabLineTopView; }
    void SetActiveTabLineTopView(bool v) { FActiveTabLineTopView = v; Invalidate(); }
    classlib::TImageList* Images() const { return FImages; }
    void SetImages(classlib::TImageList* value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) {
        FImageIndex = v < 0 ? -1 : v;
        FitHeight();
        Invalidate();
    }
    bool EnableBuiltinDragDrop() const { return FEnableBuiltinDragDrop; }
    void SetEnableBuiltinDragDrop(bool v) { FEnableBuiltinDragDrop = v; Invalidate(); }
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int v) {
        FTabWidth = v < 0 ? -1 : v;
        FitHeight();
        Invalidate();
    }
    bool MiddleClickClose() const { return FMiddleClickClose; }
    void SetMiddleClickClose(bool v) { FMiddleClickClose = v; Invalidate(); }
    bool Reversing() const { return FReversing; }
    void SetReversing(bool v) { FReversing = v; Invalidate(); }
    classlib::TColor ActiveGradS = 0xFFFFFF, ActiveGradE = 0xBBC5C9;
    classlib::TColor NonActiveGradS = 0xC4CCCF, NonActiveGradE = 0x949697;
    classlib::TColor TextColor = classlib::clWindowText, TextColorForActive = classlib::clWindowText;
    // Colour setters that repaint.
    void SetActiveGrad(classlib::TColor s, classlib::TColor e) { ActiveGradS = s; ActiveGradE = e; Invalidate(); }
    void SetNonActiveGrad(classlib::TColor s, classlib::TColor e) { NonActiveGradS = s; NonActiveGradE = e; Invalidate(); }
    void SetTextColors(classlib::TColor normal, classlib::TColor active) {
        TextColor = normal; TextColorForActive = active; Invalidate();
    }

    classlib::TNotifyEvent OnChange;
    TVxVSTChangingEvent OnChanging;
    TVxVSTGetImageIndex OnGetImageIndex;
    TVxVSTGetHintStrEvent OnGetHintStr;
    TVxVSTMiddleClose OnMiddleClickClosing;

    // One record per tab in painting order (rows ascending with Reversing, else
    // descending; index order within a row); the last row number and the text height.
    void LayoutTabs(std::vector<TVxVSTabClass>& list, int& lastRow, int& rowHeight);
    // The tab whose rectangle strictly contains the client point, or -1.
    int TabAtPoint(POINT p);
    int TabUnderCursor();
    // The height the rows need at the current width (what the strip gives itself).
    int NeededHeight() { return NeededHeightAt(FWidth); }
    // A new width brings the height its rows need.
    void SetBounds(int left, int top, int width, int height) override;

protected:
    void Paint() override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    // A quick second press is a press like any other (activation, dragging).
    void WMLButtonDblClk(classlib::TMessage& m) override;
    // So is a quick second middle press: the tab that slid under the pointer when the first
    // press closed its neighbour closes too.
    void Dispatch(classlib::TMessage& m) override;
    void CMMouseWheel(classlib::TMessage& m) override;
    void DragOver(classlib::TComponent* source, int x, int y, int state, bool& accept) override;
    void DragDrop(classlib::TComponent* source, int x, int y) override;
    void CMFontChanged(classlib::TMessage& m) override;
    void CMHintShow(classlib::TMessage& m) override;
    // The cursor's screen position; tests replace it.
    virtual POINT CursorPos();
    // The image of a tab after OnGetImageIndex, -1 without images.
    int TabImageIndex(int tabIndex);

private:
    friend class TVxVSTabStrings;
    void DrawTab(const TVxVSTabClass& tab, classlib::TColor start, classlib::TColor end);
    void DrawRowLine(const TVxVSTabClass& tab, int pending, int lastRow);
    void LayoutTabsAt(int width, std::vector<TVxVSTabClass>& list, int& lastRow, int& rowHeight);
    int NeededHeightAt(int width);
    // Gives the strip the height its rows need, now or (QueueFit) after the current call.
    void FitHeight();
    void QueueFit();

    TVxVSTabStrings FTabs{this};
    int FActiveTabIndex = 0;
    bool FActiveTabLineTopView = false;
    classlib::TComponentRef<classlib::TImageList> FImages;
    int FImageIndex = 0;
    bool FEnableBuiltinDragDrop = true;
    int FTabWidth = -1;
    bool FMiddleClickClose = true;
    bool FReversing = false;
    int FDropTarget = -1;
    bool FFitQueued = false;
};

}  // namespace widgets
