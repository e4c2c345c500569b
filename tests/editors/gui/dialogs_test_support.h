// Answering the program's own message boxes from inside a modal loop of a test.
#pragma once

#include <string>
#include <vector>

#include "classlib/form.h"
#include "classlib/screen.h"
#include "classlib/timer.h"
#include "controls/wide/widedialogs.h"

namespace editorstest {

// While it lives, every message box of the program that opens is read and closed with OK;
// Texts() lists what they said, in order.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() : FTimer(nullptr) {
        FTimer.SetInterval(10);
        FTimer.SetOnTimer([this](classlib::TComponent*) {
            for (int i = 0; i < classlib::Screen->FormCount(); ++i) {
                auto* box = dynamic_cast<wide::TWideMessageForm*>(classlib::Screen->Forms(i));
                if (!box || !box->Visible() || box->ModalResult() != classlib::mrNone) continue;
                FTexts.push_back(box->Message ? box->Message->Caption() : std::wstring());
                box->SetModalResult(classlib::mrOk);
            }
        });
        FTimer.SetEnabled(true);
    }
    const std::vector<std::wstring>& Texts() const { return FTexts; }

private:
    classlib::TTimer FTimer;
    std::vector<std::wstring> FTexts;
};

}  // namespace editorstest
