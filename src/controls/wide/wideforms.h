// The form and application of the Unicode layer.
//
// TWideForm is the base of every window of the program: a Unicode window (also as an MDI
// child) with a UTF-16 caption and hint. While a menu of the form is open, the long part of
// the hint of the item under the mouse is the application hint; the hint is refreshed from
// the control under the mouse whenever the form's actions are updated.
// TWideApplication (one object, `WideApplication`) gives the application's hint, title and
// program file name as UTF-16. Main thread only.
#pragma once

#include "classlib/application.h"
#include "classlib/form.h"

#include <string>

namespace wide {

class TWideForm : public classlib::TForm {
public:
    explicit TWideForm(classlib::TComponent* owner) : classlib::TForm(owner) {}
    // The registered window class of the form ("TForm" when empty).
    std::wstring WindowClassName;
    void UpdateActions() override;

protected:
    void CreateParams(classlib::TCreateParams& params) override;
    void Dispatch(classlib::TMessage& m) override;
    virtual void WMMenuSelect(classlib::TMessage& m);
};

class TWideApplication {
public:
    std::wstring GetHint() const;
    void SetHint(const std::wstring& value);
    std::wstring GetTitle() const;
    // Full path of the program file; raises EOSError when it cannot be read.
    std::wstring GetExeName() const;
    // The application hint := the long part of the inherited hint under the mouse.
    void RefreshWideHint();
};

extern TWideApplication* const WideApplication;

}  // namespace wide
