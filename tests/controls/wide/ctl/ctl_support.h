// A shown form for the control tests and helpers to type into windows.
#pragma once

#include "classlib/application.h"
#include "controls/wide/wideforms.h"

#include <windows.h>

#include <memory>
#include <string>

namespace ctltest {

// Japanese text and a character outside the basic plane (two UTF-16 code units).
inline const std::wstring kJapanese = L"レジストリ編集";
inline const std::wstring kSurrogate = L"\U00020BB7";  // 𠮷

class FormFixture {
public:
    FormFixture() {
        Form = std::make_unique<wide::TWideForm>(nullptr);
        Form->SetBounds(40, 40, 640, 480);
        Form->SetCaption(L"コントロール");
    }
    template <class T>
    T* Add(int left, int top, int width, int height) {
        auto* c = new T(Form.get());
        c->SetParent(Form.get());
        c->SetBounds(left, top, width, height);
        return c;
    }
    void Show() {
        Form->Show();
        classlib::Application->ProcessMessages();
    }
    std::unique_ptr<wide::TWideForm> Form;
};

// Sends one typed character to a window as the keyboard would after translation.
inline void TypeChar(HWND wnd, wchar_t ch) { SendMessageW(wnd, WM_CHAR, ch, 1); }
inline void TypeText(HWND wnd, const std::wstring& text) {
    for (wchar_t ch : text) TypeChar(wnd, ch);
}

}  // namespace ctltest
