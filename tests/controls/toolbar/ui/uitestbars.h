// A form with a themed dock for the tests of the themed toolbars, items and compound bars, and
// a theme that records the item faces it paints and can stand in under any name.
#pragma once

#include "classlib/form.h"
#include "common/test_support.h"
#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/ui/uitoolbar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace uitest {

// The default look, recording the rectangles of the item buttons and popup rows it paints.
class FaceTheme : public themed::TThmDefaultTheme {
public:
    using TThmDefaultTheme::TThmDefaultTheme;
    std::vector<RECT> Buttons;
    std::vector<RECT> PopupRows;
    void PaintItemButton(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override {
        Buttons.push_back(rect);
        TThmDefaultTheme::PaintItemButton(canvas, rect, item);
    }
    void PaintPopupItem(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& item) override {
        PopupRows.push_back(rect);
        TThmDefaultTheme::PaintPopupItem(canvas, rect, item);
    }
};

// Makes the recording theme current under `name` (registered on first use).
inline FaceTheme* SelectFaceTheme(const std::wstring& name) {
    if (!themed::IsToolbarThemeRegistered(name))
        themed::RegisterToolbarTheme(name, [](const std::wstring& n) { return std::make_unique<FaceTheme>(n); });
    if (!themed::SelectTheme(name)) return nullptr;
    return dynamic_cast<FaceTheme*>(&themed::ActiveToolbarTheme());
}

class UiBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Theme = SelectFaceTheme(L"UiFaces");
        ASSERT_NE(Theme, nullptr);
        Form = new classlib::TForm(nullptr);
        Form->SetPosition(classlib::poDesigned);
        Form->SetBounds(60, 60, 640, 420);
        Dock = new ui::TUiDock(Form);
        Dock->SetParent(Form);
        Form->Show();
        testsupport::PumpMessages();
    }
    void TearDown() override {
        delete Form;
        testsupport::PumpMessages();
        themed::SelectTheme(L"Default");
    }
    // A stretched toolbar without shrinking on the dock (the way compound bars and the main
    // window's bars are set up).
    ui::TUiToolbar* NewToolbar() {
        auto* bar = new ui::TUiToolbar(Form);
        bar->SetHideWhenInactive(false);
        bar->SetStretch(true);
        bar->SetShrinkMode(toolbar::tbsmNone);
        bar->SetCurrentDock(Dock);
        testsupport::PumpMessages();
        return bar;
    }
    template <class T = ui::TUiItem>
    T* AddItem(ui::TUiToolbar* bar, const std::wstring& caption) {
        auto* item = new T(bar);
        item->SetCaption(caption);
        bar->Items()->Add(item);
        return item;
    }
    // The item's bounds in the toolbar (positions made valid first).
    static RECT Bounds(toolbar::TBarView* view, toolbar::TBarCustomItem* item) {
        view->EnsurePositionsValid();
        return view->ViewerOfItem(item)->BoundsRect;
    }

    FaceTheme* Theme = nullptr;
    classlib::TForm* Form = nullptr;
    ui::TUiDock* Dock = nullptr;
};

}  // namespace uitest
