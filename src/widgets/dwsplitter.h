// A splitter bar with a clickable toggle in its middle.
//
// Dragging the bar resizes the neighbour it sits against (the visible sibling aligned to
// the same side whose edge touches the bar), live while the mouse moves. A left click
// inside the toggle (press and release at the very same screen point) is reported through
// OnToggleClick; the splitter hides nothing itself. The arrow in the toggle shows
// `Toggle`, which the owner decides through OnSetToggleChange: it is asked whenever a
// drag of the bar ends (also the press-and-release of a click when there is a neighbour)
// and again after each toggle click. Main thread only.
#pragma once

#include "classlib/control.h"

#include <functional>

namespace widgets {

using TVxDWSetChangeToggleEvent = std::function<void(classlib::TComponent* sender, bool& setToggle)>;

class TVxDWSplitter : public classlib::TCustomControl {
public:
    // A 10-pixel bar aligned left.
    explicit TVxDWSplitter(classlib::TComponent* owner);

    int ToggleHeight() const { return FToggleHeight; }
    void SetToggleHeight(int v) { FToggleHeight = v; Invalidate(); }
    bool DrawToggle() const { return FDrawToggle; }
    void SetDrawToggle(bool v) { FDrawToggle = v; Invalidate(); }
    bool DrawToggleArrow() const { return FDrawToggleArrow; }
    void SetDrawToggleArrow(bool v) { FDrawToggleArrow = v; Invalidate(); }
    BYTE DrawToggleArrowSize() const { return FArrowSize; }
    void SetDrawToggleArrowSize(BYTE v) { FArrowSize = v; Invalidate(); }
    BYTE ArrowLeftMargin() const { return FArrowLeftMargin; }
    void SetArrowLeftMargin(BYTE v) { FArrowLeftMargin = v; Invalidate(); }
    BYTE ArrowRightMargin() const { return FArrowRightMargin; }
    void SetArrowRightMargin(BYTE v) { FArrowRightMargin = v; Invalidate(); }
    classlib::TColor ToggleLineColor() const { return FToggleLineColor; }
    void SetToggleLineColor(classlib::TColor v) { FToggleLineColor = v; Invalidate(); }
    classlib::TColor ToggleColorStart() const { return FToggleColorStart; }
    void SetToggleColorStart(classlib::TColor v) { FToggleColorStart = v; Invalidate(); }
    classlib::TColor ToggleColorEnd() const { return FToggleColorEnd; }
    void SetToggleColorEnd(classlib::TColor v) { FToggleColorEnd = v; Invalidate(); }
    classlib::TColor ToggleHotColorStart() const { return FToggleHotColorStart; }
    void SetToggleHotColorStart(classlib::TColor v) { FToggleHotColorStart = v; Invalidate(); }
    classlib::TColor ToggleHotColorEnd() const { return FToggleHotColorEnd; }
    void SetToggleHotColorEnd(classlib::TColor v) { FToggleHotColorEnd = v; Invalidate(); }
    classlib::TColor ToggleArrowColor() const { return FToggleArrowColor; }
    void SetToggleArrowColor(classlib::TColor v) { FToggleArrowColor = v; Invalidate(); }
    bool Toggle() const { return FToggle; }
    void SetToggle(bool v) { FToggle = v; Invalidate(); }

    // The smallest size the neighbour is given by dragging.
    int MinSize = 30;

    classlib::TNotifyEvent OnToggleClick;
    TVxDWSetChangeToggleEvent OnSetToggleChange;
    // A drag of the bar ended.
    classlib::TNotifyEvent OnMoved;

    // The toggle in client coordinates (right and bottom inclusive); it may reach beyond
    // the bar's ends when the bar is shorter than ToggleHeight.
    RECT ToggleRect();
    bool Hot() const { return FHot; }
    bool Pressed() const { return FPressed; }
    bool Sizing() const { return FSizing; }

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void Paint() override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void MouseMove(classlib::TShiftState shift, int x, int y) override;
    void MouseUp(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    // A quick second press is a press like any other (two quick toggle clicks toggle twice).
    void WMLButtonDblClk(classlib::TMessage& m) override;
    void CMMouseEnter(classlib::TMessage& m) override;
    void CMMouseLeave(classlib::TMessage& m) override;
    // The sizing cursor follows the bar's orientation.
    void WMSetCursor(classlib::TMessage& m) override;
    // Ends a drag of the bar, then asks the owner for the arrow direction.
    virtual void StopSizing();
    // The cursor's screen position; tests replace it.
    virtual POINT CursorPos();
    bool CursorInToggle();

private:
    bool Vertical() const;
    classlib::TControl* FindNeighbour();

    int FToggleHeight = 60;
    bool FDrawToggle = true, FDrawToggleArrow = true;
    BYTE FArrowSize = 4, FArrowLeftMargin = 2, FArrowRightMargin = 2;
    classlib::TColor FToggleLineColor = 0x808080;
    classlib::TColor FToggleColorStart = 0xFFFFFF, FToggleColorEnd = 0xB4BBBE;
    classlib::TColor FToggleHotColorStart = 0xFFFFFF, FToggleHotColorEnd = 0xF0CAA6;
    classlib::TColor FToggleArrowColor = 0;
    bool FToggle = false;
    bool FHot = false, FPressed = false;
    POINT FPressPos{};
    bool FSizing = false;
    classlib::TControl* FNeighbour = nullptr;
    POINT FSizeStart{};
    int FStartSize = 0;
};

}  // namespace widgets
