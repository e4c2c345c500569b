#pragma once
// A shown form for the tests of the themed controls, and a theme other than "Default" so
// that controls asking for the toolbar theme really paint with it.

#include <windows.h>

#include <memory>

#include "classlib/form.h"
#include "common/test_support.h"
#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmregistry.h"

#include <gtest/gtest.h>

class UiControls : public ::testing::Test {
protected:
    void SetUp() override {
        Form = new classlib::TForm(nullptr);
        Form->SetPosition(classlib::poDesigned);
        Form->SetBounds(60, 60, 500, 400);
        Form->Show();
        testsupport::PumpMessages();
    }
    void TearDown() override {
        delete Form;
        themed::SelectTheme(L"Default");
        testsupport::PumpMessages();
    }
    // Makes a theme of the default look current under another name ("Plain").
    static void UsePlainTheme() {
        if (!themed::IsToolbarThemeRegistered(L"Plain"))
            themed::RegisterToolbarTheme(
                L"Plain", [](const std::wstring& n) { return std::make_unique<themed::TThmDefaultTheme>(n); });
        ASSERT_TRUE(themed::SelectTheme(L"Plain"));
    }
    template <class T>
    T* Add(classlib::TWinControl* parent, int left, int top, int width, int height) {
        auto* control = new T(Form);
        control->SetParent(parent);
        control->SetBounds(left, top, width, height);
        return control;
    }
    classlib::TForm* Form = nullptr;
};
