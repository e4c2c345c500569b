#include "dialogs_fixture.h"

#include <cstdlib>

#include "classlib/application.h"
#include "classlib/screen.h"
#include "controls/wide/widedialogs.h"
#include "searchui/addfindpoint.h"
#include "searchui/findallreplace.h"
#include "searchui/findform.h"
#include "search/value_writers.h"

namespace searchuitest {

using namespace classlib;

namespace {

// `count` squares of 16 x 16 pixels, each of its own colour.
std::unique_ptr<TImageList> Squares(int count) {
    auto list = std::make_unique<TImageList>(nullptr);
    for (int i = 0; i < count; ++i) {
        TBitmap square(16, 16);
        square.Canvas().Brush().SetColor(TColor(RGB(40 + i * 6, 200 - i * 5, (i * 37) % 256)));
        RECT r{2, 2, 14, 14};
        square.Canvas().FillRect(r);
        list->AddMasked(square, clDefault);
    }
    return list;
}

bool IsDialogOfOurOwn(TForm& form) {
    return dynamic_cast<searchui::TFindForm*>(&form) || dynamic_cast<searchui::TAddFindPointForm*>(&form) ||
           dynamic_cast<searchui::TFindAllReplaceForm*>(&form);
}

}  // namespace

FakeHost::FakeHost()
    : FToolBar(Squares(32)), FComponents(Squares(6)), FObjects(Squares(4)),
      FUndo(std::make_unique<undo::TVxRegClipUndoProvider>(nullptr)) {
    FUndo->RegistryScriptExportDir = FBackups.Path().wstring();
}

FakeHost::~FakeHost() = default;

std::wstring FakeHost::ReadSettingString(const std::wstring& name, const std::wstring& defaultValue) {
    auto it = Settings.find(name);
    return it == Settings.end() ? defaultValue : it->second;
}

void FakeHost::WriteSettingString(const std::wstring& name, const std::wstring& value) { Settings[name] = value; }

search::TBulkValueWriters FakeHost::ValueWriters() { return searchtest::RecordingWriters(*FUndo); }

// --- Input --------------------------------------------------------------------------------

void Type(HWND window, const std::wstring& text) {
    for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 1);
}

void Press(HWND window, WORD key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void Click(TWinControl* control, POINT at) {
    if (at.x < 0) at = {control->Width() / 2, control->Height() / 2};
    POINT screen = control->ClientToScreen(at);
    // A click right where the last one went would be a double click, which is not what the
    // tests mean: it moves a little to the side, within the control.
    static POINT last{-1000, -1000};
    const int nearX = GetSystemMetrics(SM_CXDOUBLECLK), nearY = GetSystemMetrics(SM_CYDOUBLECLK);
    if (std::abs(screen.x - last.x) <= nearX && std::abs(screen.y - last.y) <= nearY) {
        const int step = nearX + 1;
        const int shifted = at.x + step < control->Width() ? at.x + step : at.x - step;
        screen.x += shifted - at.x;
    }
    last = screen;
    INPUT input[3] = {};
    for (INPUT& i : input) i.type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[0].mi.dx = (screen.x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input[0].mi.dy = (screen.y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, input, sizeof(INPUT));
}

void AnswerBox(const std::wstring& text, WORD key) {
    WhenModal([](TForm& f) { return !IsDialogOfOurOwn(f); },
              [text, key](TForm& box) {
                  HWND focus = GetFocus();
                  if (!focus) focus = box.Handle();
                  Type(focus, text);
                  Press(focus, key);
              });
}

void AnswerQuestion(const std::wstring& message, WORD key, bool* answered) {
    WhenModal(
        [message](TForm& f) {
            auto* box = dynamic_cast<wide::TWideMessageForm*>(&f);
            return box && box->Message && box->Message->GetText() == message;
        },
        [key, answered](TForm& box) {
            HWND focus = GetFocus();
            Press(focus ? focus : box.Handle(), key);
            if (answered) *answered = true;
        });
}

void Idle() {
    testsupport::PumpMessages();
    Application->DoActionIdle();
}

}  // namespace searchuitest
