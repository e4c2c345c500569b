#include "editors/externaleditor.h"

#include "classlib/application.h"
#include "classlib/scopeguard.h"
#include "classlib/streams.h"
#include "classlib/timer.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/wide/conversions.h"
#include "controls/wide/widebutton.h"
#include "controls/wide/widestrings.h"
#include "controls/wide/wideutils.h"
#include "registry/files.h"

#include <shellapi.h>

namespace editors {

using namespace classlib;

namespace {

constexpr DWORD kWaitStepMs = 50;

std::wstring Utf16Text(const std::string& bytes, size_t offset, bool bigEndian) {
    std::wstring text((bytes.size() - offset) / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b0 = static_cast<uint8_t>(bytes[offset + 2 * i]);
        const auto b1 = static_cast<uint8_t>(bytes[offset + 2 * i + 1]);
        text[i] = static_cast<wchar_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
    }
    return text;
}

bool StartsWith(const std::string& bytes, const char* mark, size_t length) {
    return bytes.size() >= length && bytes.compare(0, length, mark, length) == 0;
}

std::string ReadWholeFile(const std::wstring& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
    std::string bytes(static_cast<size_t>(stream.Size()), '\0');
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

}  // namespace

std::wstring EditorParameters(const std::wstring& parameterTemplate, const std::wstring& fileName) {
    return wide::WideStringReplace(parameterTemplate, L"%1", fileName, wide::rfReplaceAll | wide::rfIgnoreCase);
}

std::wstring DecodeEditedText(const std::string& bytes, bool* lossy) {
    std::wstring text;
    bool lost = false;
    if (StartsWith(bytes, "\xFF\xFE", 2)) {
        text = Utf16Text(bytes, 2, false);
        lost = bytes.size() % 2 != 0;
    } else if (StartsWith(bytes, "\xFE\xFF", 2)) {
        text = Utf16Text(bytes, 2, true);
        lost = bytes.size() % 2 != 0;
    } else if (StartsWith(bytes, "\xEF\xBB\xBF", 3)) {
        text = wide::UTF8ToWideString(bytes.substr(3), &lost);
    } else {
        // No mark: UTF-8 when every byte fits it, else the system's ANSI code page.
        bool notUtf8 = false;
        text = wide::UTF8ToWideString(bytes, &notUtf8);
        if (notUtf8) {
            text = wide::StringToWideStringEx(bytes, 0);
            lost = MultiByteToWideChar(wide::DefaultSystemCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                       static_cast<int>(bytes.size()), nullptr, 0) == 0;
        }
    }
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) {
        lost = lost || text.find_first_not_of(L'\0', nul) != std::wstring::npos;
        text.resize(nul);
    }
    if (lossy) *lossy = lost;
    return text;
}

void TEditorProcess::Reset(HANDLE handle) {
    if (FHandle) CloseHandle(FHandle);
    FHandle = handle;
}

bool StartEditorProcess(HWND parent, const std::wstring& editorPath, const std::wstring& parameters,
                        TEditorProcess& process) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = parent;
    info.lpFile = editorPath.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) return false;
    process.Reset(info.hProcess);
    return true;
}

TEditorWaitEnd WaitForEditor(HANDLE process, const std::function<bool()>& stopRequested) {
    if (!process) return TEditorWaitEnd::NoProcess;
    for (;;) {
        if (stopRequested()) return TEditorWaitEnd::Stopped;
        const DWORD result = MsgWaitForMultipleObjectsEx(1, &process, kWaitStepMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (result != WAIT_TIMEOUT && result != WAIT_OBJECT_0 + 1) return TEditorWaitEnd::Ended;
        if (Application) {
            Application->ProcessMessages();
        } else {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    // Handed on to the loop that waits for it, once this wait is over.
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    return TEditorWaitEnd::Stopped;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
}

// ---- TEditEditorForm ------------------------------------------------------------------------

TEditEditorForm::TEditEditorForm(TComponent* owner) : TForm(owner) {
    ui::SetUpDialog(*this, {L"編集中・・・", 224, 57, false, poScreenCenter});
    FStopButton = ui::TPlacer(this, this).Add<wide::TWideButton>(L"編集を強制終了する", {24, 16, 177, 25});
    FStopButton->ModalResult = mrOk;
    FStopButton->OnClick = [this](TComponent*) { Stop(); };

    FTimer = new TTimer(this);
    FTimer->SetInterval(1);
    FTimer->SetOnTimer([this](TComponent*) { TimerFired(); });
    FTimer->SetEnabled(true);
}

void TEditEditorForm::TimerFired() {
    FTimer->SetEnabled(false);
    RunEditor();
}

void TEditEditorForm::RunEditor() {
    if (FWaiting) return;
    FWaiting = true;
    auto done = ScopeExit([this] { FWaiting = false; });
    TEditorProcess process;
    if (!StartEditorProcess(HandleAllocated() ? Handle() : nullptr, FEditorPath,
                            EditorParameters(FParameters, FFileName), process)) {
        SetModalResult(mrCancel);
        return;
    }
    // Closing the window (a modal result of its own) or the application's end stops the
    // wait as the stop button does; the editor keeps running either way.
    WaitForEditor(process.Handle(), [this] {
        return FStop || ModalResult() != mrNone || (Application && Application->Terminated());
    });
    SetModalResult(mrOk);
}

// ---- The round trip -------------------------------------------------------------------------

TExternalEditResult EditLinesExternally(TComponent* owner, wide::TWideStrings& lines, const std::wstring& editorPath,
                                        const std::wstring& parameterTemplate) {
    const std::wstring fileName = registry::MakeTempFileNameInTempDir(L"wendlartxt", L".txt");
    if (fileName.empty()) throw EFCreateError(L"一時ファイルを作成できません。");
    auto removeFile = ScopeExit([&] { DeleteFileW(fileName.c_str()); });
    {
        // Saved from a plain list: a CR LF after every line, the last one as well, whatever
        // `lines` is (a memo's own text has none after its last line, and what the editor
        // adds there would join that line).
        wide::TWideStringList copy;
        copy.Assign(lines);
        copy.SaveToFile(fileName);
    }
    const std::string saved = ReadWholeFile(fileName);

    const TModalResult waited = ui::ShowModalForm<TEditEditorForm>(
        owner,
        [&](TEditEditorForm& form) {
            form.FParameters = parameterTemplate;
            form.FFileName = fileName;
            form.FEditorPath = editorPath;
        },
        nullptr);
    if (waited != mrOk) return TExternalEditResult::NotStarted;

    const std::string edited = ReadWholeFile(fileName);
    if (edited == saved) return TExternalEditResult::Unchanged;
    lines.SetTextStr(DecodeEditedText(edited));
    return TExternalEditResult::Changed;
}

}  // namespace editors
