#pragma once
// Checks a hint handed to the application as the shared hint bitmap.

#include <memory>

#include "classlib/control.h"
#include "classlib/graphics.h"
#include "classlib/hintwindow.h"
#include "controls/toolbar/ui/uihint.h"
#include "controls/toolbar/ui/uitheme.h"

#include <gtest/gtest.h>

namespace uitest {

// The hint shows in a bitmap hint window that keeps the whole shared hint bitmap inside its
// one-pixel border; an empty bitmap measures as the text hint.
inline void ExpectWholeBitmapHint(const classlib::THintInfo& info) {
    ASSERT_EQ(info.HintData, &ui::UiHintBitmap());
    ASSERT_TRUE(info.HintWindowClass);
    std::unique_ptr<classlib::THintWindow> window(info.HintWindowClass());
    auto* hint = dynamic_cast<ui::TBitmapHint*>(window.get());
    ASSERT_NE(hint, nullptr);
    const RECT r = hint->CalcHintRect(300, info.HintStr, info.HintData);
    EXPECT_EQ(r.right, ui::UiHintBitmap().Width() + 2);
    EXPECT_EQ(r.bottom, ui::UiHintBitmap().Height() + 2);
    classlib::TBitmap empty;
    const RECT text = hint->CalcHintRect(300, info.HintStr, &empty);
    EXPECT_GT(text.right, 2);
}

}  // namespace uitest
