#include "controls/wide/widedialogs.h"

#include "classlib/gdiguards.h"
#include "classlib/screen.h"
#include "controls/wide/widecontrols.h"
#include "controls/wide/widemenus.h"

#include <memory>

namespace wide {

using namespace classlib;

namespace {

// The label of the boxes: word-wrapped, and never reading "&" as a hot-key mark.
class TDlgLabel : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    static constexpr UINT kFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

protected:
    void Paint() override {
        RECT r = ClientRect();
        Canvas().Brush().SetStyle(bsClear);
        Canvas().DrawText(GetText(), r, kFormat);
    }
    void CMTextChanged(TMessage&) override { Invalidate(); }
};

class TDlgImage : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    HICON Icon = nullptr;

protected:
    void Paint() override {
        if (Icon) DrawIconEx(Canvas().Handle(), 0, 0, Icon, 32, 32, 0, nullptr, DI_NORMAL);
    }
};

class TDlgButton : public TWinControl {
public:
    explicit TDlgButton(TComponent* owner) : TWinControl(owner) { FTabStop = true; }
    TModalResult ModalResult = mrNone;
    bool Default = false;
    bool Cancel = false;

    void Click() override {
        if (TForm* f = GetParentForm(this); f && ModalResult != mrNone) f->SetModalResult(ModalResult);
        TWinControl::Click();
    }

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.SubClassName = L"BUTTON";
        p.Style |= Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    }
    void CNCommand(TMessage& m) override {
        if (HIWORD(m.WParam) == BN_CLICKED) Click();
    }
    // Enter presses the focused button, or the default one when no button has the focus;
    // Esc presses the cancel button.
    void CMDialogKey(TMessage& m) override {
        if (KeyboardStateToShiftState() & (ssShift | ssCtrl | ssAlt)) return;
        bool active = false;
        if (m.WParam == VK_RETURN) {
            TWinControl* focused = FindControl(GetFocus());
            active = focused == this || (Default && !dynamic_cast<TDlgButton*>(focused));
        }
        if (active || (m.WParam == VK_ESCAPE && Cancel)) {
            Click();
            m.Result = 1;
        }
    }
    // The hot key of the caption ("はい(&Y)" answers to Y).
    void CMDialogChar(TMessage& m) override {
        std::wstring hot = WideHotKeyChar(GetText());
        if (hot.empty()) return;
        wchar_t a = static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(hot[0])))));
        wchar_t b = static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(m.WParam & 0xFFFF)))));
        if (a == b && CanFocus()) {
            Click();
            m.Result = 1;
        }
    }
};

class TDlgEdit : public TWinControl {
public:
    explicit TDlgEdit(TComponent* owner) : TWinControl(owner) { FTabStop = true; }
    int MaxLength = 0;
    void SelectAll() {
        if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, 0, -1);
    }

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.SubClassName = L"EDIT";
        p.Style |= ES_AUTOHSCROLL;
        p.ExStyle |= WS_EX_CLIENTEDGE;
    }
    void CreateHandle() override {
        TWinControl::CreateHandle();
        SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(MaxLength), 0);
    }
};

SIZE DialogCharSize(TCanvas& canvas) {
    static const wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE s{0, 0};
    HDC dc = canvas.Handle();
    TSelectedObject font(dc, canvas.Font().Handle());
    GetTextExtentPoint32W(dc, letters, 52, &s);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return {(s.cx / 26 + 1) / 2, tm.tmHeight};
}

RECT MeasureText(TCanvas& canvas, const std::wstring& text, RECT r, UINT format) {
    HDC dc = canvas.Handle();
    TSelectedObject font(dc, canvas.Font().Handle());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
    return r;
}

struct ButtonKind {
    const wchar_t* Name;
    const wchar_t* Caption;
    TModalResult Result;
};

const ButtonKind kButtons[] = {
    {L"Yes", L"はい(&Y)", mrYes},
    {L"No", L"いいえ(&N)", mrNo},
    {L"OK", L"OK", mrOk},
    {L"Cancel", L"キャンセル", mrCancel},
    {L"Abort", L"中止(&A)", mrAbort},
    {L"Retry", L"再試行(&R)", mrRetry},
    {L"Ignore", L"無視(&I)", mrIgnore},
    {L"All", L"すべて(&A)", mrAll},
    {L"NoToAll", L"すべていいえ(&O)", mrNoToAll},
    {L"YesToAll", L"すべてはい(&A)", mrYesToAll},
    {L"Help", L"ヘルプ(&H)", mrNone},
};

const wchar_t* const kIcons[] = {IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION, nullptr};

void UseMessageFont(TForm* f) {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) f->Font().AssignLogFont(ncm.lfMessageFont);
}

}  // namespace

std::wstring GetMessageCaption(int type) {
    switch (type) {
    case mtWarning: return L"警告";
    case mtError: return L"エラー";
    case mtInformation: return L"情報";
    case mtConfirmation: return L"確認";
    case mtCustom: return WideApplication->GetTitle();
    default: throw EWideInternalError(L"Unexpected MsgType in GetMessageCaption.");
    }
}

std::wstring GetButtonCaption(int kind) {
    if (kind < 0 || kind > mbHelp) throw EWideInternalError(L"Unexpected MsgDlgBtn in GetButtonCaption.");
    return kButtons[kind].Caption;
}

TWideMessageForm::TWideMessageForm(TComponent* owner) : TWideForm(owner) {}

std::wstring TWideMessageForm::CopyText() {
    const std::wstring d = std::wstring(27, L'-') + L"\r\n";
    std::wstring buttons;
    for (int i = 0; i < ComponentCount(); ++i) {
        if (auto* b = dynamic_cast<TDlgButton*>(Components(i))) {
            std::wstring c = b->GetText();
            std::wstring plain;
            for (wchar_t ch : c)
                if (ch != L'&') plain += ch;
            buttons += plain + L"   ";
        }
    }
    return d + GetText() + L"\r\n" + d + (Message ? Message->GetText() : std::wstring()) + L"\r\n" + d + buttons +
           L"\r\n" + d;
}

void TWideMessageForm::KeyDown(WORD& key, TShiftState shift) {
    if ((shift & (ssShift | ssCtrl | ssAlt)) == ssCtrl && key == 'C') {
        MessageBeep(0);
        std::wstring text = CopyText();
        if (OpenClipboard(Handle())) {
            EmptyClipboard();
            size_t bytes = (text.size() + 1) * sizeof(wchar_t);
            if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
                memcpy(GlobalLock(mem), text.c_str(), bytes);
                GlobalUnlock(mem);
                if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
            }
            CloseClipboard();
        }
    }
    TWideForm::KeyDown(key, shift);
}

TWideMessageForm* CreateWideMessageDialog(const std::wstring& msg, TMsgDlgType type, TMsgDlgButtons buttons) {
    if (type < mtWarning || type > mtCustom) throw EWideInternalError(L"Unexpected MsgType in GetMessageCaption.");
    auto form = std::make_unique<TWideMessageForm>(Application);
    TWideMessageForm* f = form.get();
    UseMessageFont(f);
    f->SetBorderStyle(bsDialog);
    f->SetKeyPreview(true);
    f->SetPosition(poDesigned);
    TCanvas& canvas = f->Canvas();
    SIZE cs = DialogCharSize(canvas);
    const int X = cs.cx, Y = cs.cy;
    const int hMargin = MulDiv(8, X, 4), vMargin = MulDiv(8, Y, 8);
    const int hSpacing = MulDiv(10, X, 4), vSpacing = MulDiv(10, Y, 8);
    int buttonWidth = MulDiv(50, X, 4);
    const int buttonHeight = MulDiv(14, Y, 8), buttonSpacing = MulDiv(4, X, 4);
    int count = 0;
    for (int k = mbYes; k <= mbHelp; ++k) {
        if (!(buttons & (1u << k))) continue;
        ++count;
        RECT r = MeasureText(canvas, kButtons[k].Caption, {0, 0, 0, 0}, DT_SINGLELINE);
        buttonWidth = std::max<int>(buttonWidth, r.right - r.left + 8);
    }
    RECT text = MeasureText(canvas, msg, {0, 0, Screen->Width() / 2, 0}, TDlgLabel::kFormat);
    const int textWidth = text.right - text.left, textHeight = text.bottom - text.top;
    const bool hasIcon = kIcons[type] != nullptr;
    const int iconTextWidth = textWidth + (hasIcon ? 32 + hSpacing : 0);
    const int iconTextHeight = hasIcon ? std::max(32, textHeight) : textHeight;
    const int groupWidth = count ? count * buttonWidth + (count - 1) * buttonSpacing : 0;
    const int clientWidth = std::max(iconTextWidth, groupWidth) + 2 * hMargin;
    const int clientHeight = iconTextHeight + buttonHeight + vSpacing + 2 * vMargin;
    f->SetClientSize(clientWidth, clientHeight);
    f->SetBounds(Screen->Width() / 2 - f->Width() / 2, Screen->Height() / 2 - f->Height() / 2, f->Width(), f->Height());
    f->SetCaption(GetMessageCaption(type));
    if (hasIcon) {
        auto* image = new TDlgImage(f);
        image->SetName(L"Image");
        image->Icon = LoadIconW(nullptr, kIcons[type]);
        image->SetParent(f);
        image->SetBounds(hMargin, vMargin, 32, 32);
    }
    auto* label = new TDlgLabel(f);
    label->SetName(L"Message");
    label->SetParent(f);
    label->SetText(msg);
    label->SetBounds(iconTextWidth - textWidth + hMargin, vMargin, textWidth, textHeight);
    f->Message = label;
    int defaultKind = (buttons & MsgDlgBtn(mbOK)) ? mbOK : (buttons & MsgDlgBtn(mbYes)) ? mbYes : mbRetry;
    int cancelKind = (buttons & MsgDlgBtn(mbCancel)) ? mbCancel : (buttons & MsgDlgBtn(mbNo)) ? mbNo : mbOK;
    int x = (clientWidth - groupWidth) / 2;
    for (int k = mbYes; k <= mbHelp; ++k) {
        if (!(buttons & (1u << k))) continue;
        auto* b = new TDlgButton(f);
        b->SetName(kButtons[k].Name);
        b->SetText(kButtons[k].Caption);
        b->ModalResult = kButtons[k].Result;
        b->Default = k == defaultKind;
        b->Cancel = k == cancelKind;
        if (k == mbHelp) {
            b->OnClick = [f](TComponent*) {
                if (Application) Application->HelpContext(f->HelpContext);
            };
        }
        b->SetParent(f);
        b->SetBounds(x, iconTextHeight + vMargin + vSpacing, buttonWidth, buttonHeight);
        if (b->Default) f->SetActiveControl(b);
        x += buttonWidth + buttonSpacing;
    }
    return form.release();
}

int WideMessageDlgPosHelp(const std::wstring& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x,
                          int y, const std::wstring&) {
    std::unique_ptr<TWideMessageForm> f(CreateWideMessageDialog(msg, type, buttons));
    f->HelpContext = helpCtx;
    if (x >= 0) f->SetLeft(x);
    if (y >= 0) f->SetTop(y);
    if (x < 0 && y < 0) f->SetPosition(poScreenCenter);
    return f->ShowModal();
}

int WideMessageDlg(const std::wstring& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) {
    return WideMessageDlgPosHelp(msg, type, buttons, helpCtx, -1, -1, {});
}

int WideMessageDlgPos(const std::wstring& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x, int y) {
    return WideMessageDlgPosHelp(msg, type, buttons, helpCtx, x, y, {});
}

void WideShowMessage(const std::wstring& msg) { WideShowMessagePos(msg, -1, -1); }

void WideShowMessagePos(const std::wstring& msg, int x, int y) {
    WideMessageDlgPos(msg, mtCustom, MsgDlgBtn(mbOK), 0, x, y);
}

bool WideInputQuery(const std::wstring& caption, const std::wstring& prompt, std::wstring& value) {
    auto f = std::make_unique<TWideForm>(Application);
    UseMessageFont(f.get());
    f->SetBorderStyle(bsDialog);
    TCanvas& canvas = f->Canvas();
    SIZE cs = DialogCharSize(canvas);
    const int X = cs.cx, Y = cs.cy;
    f->SetCaption(caption);
    f->SetClientWidth(MulDiv(180, X, 4));
    f->SetPosition(poScreenCenter);
    auto* label = new TDlgLabel(f.get());
    label->SetParent(f.get());
    label->SetText(prompt);
    RECT pr = MeasureText(canvas, prompt, {0, 0, MulDiv(164, X, 4), 0}, TDlgLabel::kFormat);
    label->SetBounds(MulDiv(8, X, 4), MulDiv(8, Y, 8), pr.right - pr.left, pr.bottom - pr.top);
    auto* edit = new TDlgEdit(f.get());
    edit->SetParent(f.get());
    edit->MaxLength = 255;
    edit->SetBounds(label->Left(), label->Top() + label->Height() + 5, MulDiv(164, X, 4), Y + 10);
    edit->SetText(value);
    const int buttonTop = edit->Top() + edit->Height() + 15;
    const int bw = MulDiv(50, X, 4), bh = MulDiv(14, Y, 8);
    auto* ok = new TDlgButton(f.get());
    ok->SetText(L"OK");
    ok->ModalResult = mrOk;
    ok->Default = true;
    ok->SetParent(f.get());
    ok->SetBounds(MulDiv(38, X, 4), buttonTop, bw, bh);
    auto* cancel = new TDlgButton(f.get());
    cancel->SetText(L"キャンセル");
    cancel->ModalResult = mrCancel;
    cancel->Cancel = true;
    cancel->SetParent(f.get());
    cancel->SetBounds(MulDiv(92, X, 4), buttonTop, bw, bh);
    f->SetClientHeight(cancel->Top() + cancel->Height() + 13);
    f->SetActiveControl(edit);
    f->OnShow = [edit](TComponent*) { edit->SelectAll(); };
    if (f->ShowModal() != mrOk) return false;
    value = edit->GetText();
    return true;
}

std::wstring WideInputBox(const std::wstring& caption, const std::wstring& prompt, const std::wstring& defaultValue) {
    std::wstring result = defaultValue;
    WideInputQuery(caption, prompt, result);
    return result;
}

}  // namespace wide
