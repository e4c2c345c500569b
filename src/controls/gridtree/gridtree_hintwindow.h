// The hint window of the trees. The tree's hint handling (CM_HINTSHOW) names it as the
// application's hint window class and hands it a TGTHintData record; the window keeps a
// copy, measures the text itself (a tooltip in the tree's font exactly over the cell, a
// plain hint in the hint font), refuses a multi-line tooltip whose text fits its cell,
// keeps itself on the desktop, and appears by fading, sliding down or at once.
//
// Lifetime: the application makes and frees it. While it animates it serves messages
// after each step; the tree or the window may be freed meanwhile, so each step first
// checks that both still live. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "classlib/graphics.h"
#include "classlib/hintwindow.h"
#include "controls/gridtree/gridtree_input.h"

namespace gridtree {

class TGridTreeHintWindow : public classlib::THintWindow {
public:
    explicit TGridTreeHintWindow(classlib::TComponent* Owner);
    ~TGridTreeHintWindow() override;

    // Data: a TGTHintData*. An empty rectangle means no hint.
    RECT CalcHintRect(int MaxWidth, const std::wstring& Hint, void* Data) override;
    void ActivateHintData(RECT R, const std::wstring& Hint, void* Data) override;
    const TGTHintData& HintData() const { return FHintData; }
    // The animation the last ActivateHintData ran (hatNone when it showed at once).
    THintAnimationType Animation() const { return FAnimation; }
    // One step of the appearance: paints it and serves the messages that wait; false ends
    // the animation (window hidden or gone, tree gone or told to stop).
    bool AnimationStep(int Step, int StepSize);
    // True at start, when a hint window of the trees is destroyed; false once one is made
    // or hidden.
    static bool HintWindowGone();
    // The window's bounds kept inside the desktop (the virtual screen of all monitors).
    static RECT KeepOnDesktop(RECT R, const RECT& Desktop);

protected:
    void CreateParams(classlib::TCreateParams& Params) override;
    void Paint() override;
    void Dispatch(classlib::TMessage& Message) override;

private:
    void PaintStep(int Step, int StepSize);
    void PaintContent();
    TBaseGridTree* LiveTree() const;

    TGTHintData FHintData;
    std::weak_ptr<void> FTreeAlive;
    bool FTooltip = false;
    THintAnimationType FAnimation = hatNone;
    int FTextHeight = 0;
    classlib::TBitmap FScreenCopy, FContentBuffer, FBlendTarget;
    std::shared_ptr<int> FLifeToken = std::make_shared<int>(0);
};

}  // namespace gridtree
