// Clipboard commands, paste and drop of data objects, dragging the selection out and the
// drop target of the extended hex editor.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "classlib/runtime.h"
#include "classlib/scopeguard.h"
#include "hexedit/hexeditorex.h"
#include "hexedit/hexformatdialog.h"

namespace hexedit {

using namespace classlib;

namespace {

// Hourglass for the life of the object.
class TBusy {
public:
    explicit TBusy(std::function<void(bool)> set) : FSet(std::move(set)) { FSet(true); }
    ~TBusy() { FSet(false); }

private:
    std::function<void(bool)> FSet;
};

// Releases a medium at the end of a scope.
struct TMediumGuard {
    STGMEDIUM Medium{};
    ~TMediumGuard() {
        if (Medium.tymed != TYMED_NULL) ReleaseStgMedium(&Medium);
    }
};

std::string ReadWholeFile(const std::wstring& name) {
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        throw EFOpenError(L"Cannot open file \"" + name + L"\". " + SysErrorMessage(error));
    }
    std::string bytes;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < INT32_MAX;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (::ReadFile(file, bytes.data(), Win32Size<DWORD>(bytes.size()), &read, nullptr) &&
                               read == bytes.size());
    }
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok) throw EFOpenError(L"Cannot open file \"" + name + L"\". " + SysErrorMessage(error));
    return bytes;
}

}  // namespace

// ---- Clipboard commands -------------------------------------------------------------------

bool THexEditorEx::CanPaste() {
    if (ReadOnlyView()) return false;
    if (NoSizeChange() && GetDataSize() == 0) return false;
    TComPtr<IDataObject> data;
    if (FAILED(OleGetClipboard(data.Put())) || !data) return false;
    DWORD effect = DROPEFFECT_COPY;
    return QueryDropFormat(data.Get(), 0, 1, effect, POINT{0, 0}) == S_OK;
}

bool THexEditorEx::CopyToClipboard() {
    if (!CanCopy()) return false;
    TBusy busy([this](bool on) { BusyCursor(on); });
    const int first = std::min(GetSelStart(), GetSelEnd());
    std::string bytes(static_cast<size_t>(GetSelCount()), '\0');
    ReadBuffer(bytes.data(), first, GetSelCount());
    std::wstring name = FileName();
    const size_t slash = name.find_last_of(L"\\/:");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    if (name.size() > 255) name.resize(255);
    auto* object = new THexDataObject(std::move(bytes), SwapNibbles(), FClipboardAsHexText, name);
    if (FClipboardData) FClipboardData->Release();
    FClipboardData = object;
    OleCheck(OleSetClipboard(object));
    return true;
}

bool THexEditorEx::CutToClipboard() {
    if (!CanCut() || !CopyToClipboard()) return false;
    TBusy busy([this](bool on) { BusyCursor(on); });
    DeleteSelection(hexmsg::CutToClipboardDesc);
    return true;
}

bool THexEditorEx::PasteFromClipboard() {
    if (!CanPaste()) return false;
    TComPtr<IDataObject> data;
    if (FAILED(OleGetClipboard(data.Put())) || !data) return false;
    DWORD effect = DROPEFFECT_COPY;
    return InsertDataObject(data.Get(), 0, 1, effect, POINT{0, 0}) == S_OK;
}

void THexEditorEx::ReleaseClipboard(bool flush) {
    if (!FClipboardData || OleIsCurrentClipboard(FClipboardData) != S_OK) return;
    if (flush)
        OleCheck(OleFlushClipboard());
    else
        OleSetClipboard(nullptr);
}

// ---- Accepting data -----------------------------------------------------------------------

bool THexEditorEx::FindFirstFormat(IDataObject* data, const TClipFormats& formats, WORD& format) {
    const TFormatEnum listed(data);
    for (WORD f : formats) {
        if (listed.HasFormat(f)) {
            format = f;
            return true;
        }
    }
    return false;
}

HRESULT THexEditorEx::QueryDropFormat(IDataObject* data, DWORD, int index, DWORD& effect, POINT) {
    index &= 1;
    HRESULT result = S_FALSE;
    WORD format = 0;
    if (!ReadOnlyView() && FindFirstFormat(data, GetAcceptedFormats(), format)) {
        FFoundFormats[index] = format;
        result = S_OK;
    }
    if (FFoundFormats[index] == CF_HDROP && effect == DROPEFFECT_MOVE) effect = DROPEFFECT_LINK;
    return result;
}

HRESULT THexEditorEx::GetDropEffect(DWORD keyState, POINT, DWORD& effect) {
    if (FDragging) {
        effect = ReadOnlyView() || (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    } else {
        effect = (keyState & MK_SHIFT) && !ReadOnlyView() ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
        if (effect == DROPEFFECT_MOVE && FFoundFormats[0] == CF_HDROP) effect = DROPEFFECT_LINK;
    }
    return S_OK;
}

HRESULT THexEditorEx::GetDataFromObject(IDataObject* data, WORD format, STGMEDIUM& medium) {
    const TFormatEnum listed(data);
    FORMATETC etc;
    if (!listed.GetFormatEtc(format, etc)) return E_FAIL;
    return data->GetData(&etc, &medium);
}

bool THexEditorEx::SelectClipboardFormat(const TClipFormats& formats, IDataObject* data, bool& asHexText,
                                         WORD& format) {
    const TFormatEnum listed(data);
    TClipFormats offered;
    for (WORD f : formats)
        if (listed.HasFormat(f)) offered.push_back(f);
    if (offered.empty()) return false;
    if (offered.size() == 1) {
        format = offered[0];
        return true;
    }
    return ShowFormatDialog(offered, format, asHexText);
}

HRESULT THexEditorEx::InsertDataObject(IDataObject* data, DWORD, int index, DWORD& effect, POINT) {
    index &= 1;
    HRESULT result = E_FAIL;
    TBusy busy([this](bool on) { BusyCursor(on); });
    auto clearEffect = ScopeFail([&] { effect = DROPEFFECT_NONE; });
    WORD& found = FFoundFormats[index];
    bool proceed = true;
    if (found != hexclip::Formats().Own && found != CF_HDROP) {
        bool asHex = FClipboardAsHexText;
        proceed = SelectClipboardFormat(GetAcceptedFormats(), data, asHex, found);
        FClipboardAsHexText = asHex;
    }
    std::string bytes;
    if (proceed && found == CF_HDROP) {
        TMediumGuard m;
        if (GetDataFromObject(data, CF_HDROP, m.Medium) == S_OK && m.Medium.tymed == TYMED_HGLOBAL) {
            auto drop = static_cast<HDROP>(m.Medium.hGlobal);
            const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                wchar_t name[MAX_PATH + 1] = {};
                DragQueryFileW(drop, i, name, MAX_PATH);
                if (effect == DROPEFFECT_LINK) {
                    char ansi[MAX_PATH * 2 + 1] = {};
                    WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof(ansi) - 1, nullptr, nullptr);
                    bytes.append(ansi);
                    bytes += '\0';
                } else {
                    bytes = ReadWholeFile(name);
                }
                result = S_OK;
            }
        }
    } else if (proceed) {
        TMediumGuard m;
        if (GetDataFromObject(data, found, m.Medium) == S_OK) {
            const void* p = nullptr;
            size_t size = 0;
            HGLOBAL block = nullptr;
            if (m.Medium.tymed == TYMED_HGLOBAL || m.Medium.tymed == TYMED_MFPICT) {
                block = m.Medium.tymed == TYMED_HGLOBAL ? m.Medium.hGlobal : m.Medium.hMetaFilePict;
                p = GlobalLock(block);
                if (p) size = GlobalSize(block);
            }
            {
                auto unlock = ScopeExit([&] { if (p) GlobalUnlock(block); });
                bytes = ClipboardDataToBytes(p, m.Medium.hGlobal, found, UnicodeBigEndian(), size);
            }
            if (!bytes.empty()) result = S_OK;
            if ((found == CF_TEXT || found == CF_OEMTEXT) && index == 1 && FClipboardAsHexText)
                bytes = ConvertHexToBin(bytes.data(), bytes.size(), SwapNibbles());
        }
    }
    const int count = static_cast<int>(std::min<size_t>(bytes.size(), INT32_MAX));
    const int aligned = count - count % BytesPerUnit();
    if (aligned <= 0) result = E_FAIL;
    if (result == S_OK && index == 1) {
        PasteAt(bytes.data(), aligned, hexmsg::PasteFromClipboardDesc);
    } else if (result == S_OK) {
        int p = GetDropPosition();
        if (p < 0) {
            result = E_FAIL;
        } else if (FDragging && effect == DROPEFFECT_MOVE) {
            // A move inside this control: remove the selection, then insert; the drag
            // source combines the two steps into one.
            const bool noSizeChange = NoSizeChange();
            SetNoSizeChange(false);
            auto restoreNoSizeChange = ScopeExit([&] { SetNoSizeChange(noSizeChange); });
            FMovedInside = true;
            if (p > std::min(GetSelStart(), GetSelEnd())) p -= GetSelCount();
            DeleteSelection(L"");
            if (p >= GetDataSize())
                AppendBuffer(bytes.data(), aligned, hexmsg::DataDropped, true);
            else
                InsertBuffer(bytes.data(), aligned, p, hexmsg::DataDropped, true);
        } else if (p >= GetDataSize()) {
            if (!NoSizeChange()) AppendBuffer(bytes.data(), aligned, hexmsg::DataDropped, true);
        } else if (!NoSizeChange()) {
            if (IsSelected(p))
                ReplaceSelection(bytes.data(), aligned, hexmsg::DataDropped, true);
            else
                InsertBuffer(bytes.data(), aligned, p, hexmsg::DataDropped, true);
        } else if (GetSelCount() > 0 && IsSelected(p)) {
            ReplaceSelection(bytes.data(), aligned, hexmsg::DataDropped, true);
        } else {
            InternalReplace(bytes.data(), p, aligned, aligned, hexmsg::DataDropped, false);
        }
    }
    if (result != S_OK) effect = DROPEFFECT_NONE;
    return result;
}

void THexEditorEx::PasteAt(const void* buffer, int count, const std::wstring& description) {
    if (!HasSelection() && GetDataSize() > 0) {
        const int caret = CaretPos();
        const int pos = caret - caret % BytesPerUnit();
        if (pos != caret && pos < GetDataSize()) SetSelStart(pos);
        if (NoSizeChange() && pos < GetDataSize()) {
            SetSelStart(pos);
            SetSelEnd(std::min(GetDataSize() - 1, pos + count - 1));
        }
    }
    ReplaceSelection(buffer, count, description, true);
}

// ---- Dragging the selection out -----------------------------------------------------------

void THexEditorEx::SetOleDragDrop(bool value) {
    if (value == FOleDragDrop) return;
    FOleDragDrop = value;
    if (FDropTarget && HandleAllocated() && !(ComponentState() & csLoading)) FDropTarget->SetRegistered(value);
}

void THexEditorEx::CreateWnd() {
    THexEditorControl::CreateWnd();
    if (FOleDragDrop && FDropTarget) FDropTarget->SetRegistered(true);
}

void THexEditorEx::WMDestroy(TMessage& m) {
    THexEditorControl::WMDestroy(m);
    if (FDropTarget && !(ComponentState() & csLoading)) {
        try {
            FDropTarget->SetRegistered(false);
        } catch (...) {
            HandleCurrentException(this);
        }
    }
}

void THexEditorEx::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    THexEditorControl::MouseDown(button, shift, x, y);
    if (FOleDragDrop && button == mbLeft && IsSelectionAtPoint(x, y) && !Selecting()) {
        FDragPending = true;
        FDragging = false;
        FDragPoint = POINT{x, y};
    }
}

void THexEditorEx::MouseMove(TShiftState shift, int x, int y) {
    THexEditorControl::MouseMove(shift, x, y);
    if (FOleDragDrop && (shift & ssLeft) && !FDragging && FDragPending && IsSelectionAtPoint(x, y) &&
        !Selecting()) {
        const int threshold = std::max(GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));
        if (std::abs(x - FDragPoint.x) >= threshold || std::abs(y - FDragPoint.y) >= threshold) StartDrag();
    }
}

void THexEditorEx::StartDrag() {
    FDragPending = false;
    FDragging = true;
    FMovedInside = false;
    struct TEndDrag {
        THexEditorEx* E;
        ~TEndDrag() {
            E->FDragging = false;
            E->FMovedInside = false;
            E->HideDropMarker();
        }
    } endDrag{this};
    const int first = std::min(GetSelStart(), GetSelEnd());
    std::string bytes(static_cast<size_t>(GetSelCount()), '\0');
    ReadBuffer(bytes.data(), first, GetSelCount());
    auto object = TComPtr<THexDataObject>::Adopt(
        new THexDataObject(std::move(bytes), SwapNibbles(), FClipboardAsHexText, FileName()));
    auto source = TComPtr<THexDropSource>::Adopt(new THexDropSource());
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = RunDragDrop(object.Get(), source.Get(),
                                       ReadOnlyView() ? DROPEFFECT_COPY : DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
    if (object->HasReportedEffect()) effect = object->ReportedEffect();
    object.Reset();
    source.Reset();
    if (result != DRAGDROP_S_DROP && result != DRAGDROP_S_CANCEL) OleCheck(FAILED(result) ? result : E_FAIL);
    if (result == DRAGDROP_S_DROP && effect == DROPEFFECT_MOVE) {
        if (FMovedInside)
            AddMultipleUndo(2, hexmsg::DataMoved);
        else
            DeleteSelection(L"");
    }
}

HRESULT THexEditorEx::RunDragDrop(IDataObject* data, IDropSource* source, DWORD allowed, DWORD& effect) {
    return DoDragDrop(data, source, allowed, &effect);
}

// ---- Drop target --------------------------------------------------------------------------

void THexDropTarget::SetRegistered(bool value) {
    THexEditorEx* control = OwnerObject();
    if (value == FRegistered || !control) return;
    if (value) {
        FHandle = control->Handle();
        OleCheck(RegisterDragDrop(FHandle, this));
        FRegistered = true;
        CoLockObjectExternal(this, TRUE, FALSE);
    } else {
        FRegistered = false;
        const HRESULT revoked = RevokeDragDrop(FHandle);
        CoLockObjectExternal(this, FALSE, TRUE);
        OleCheck(revoked);
    }
}

void THexDropTarget::OwnerGone() noexcept {
    try {
        SetRegistered(false);
    } catch (...) {
        // The window is going away with the control; nothing to report to.
    }
}

namespace {
POINT ClientPoint(HWND window, POINTL pt) {
    POINT p{pt.x, pt.y};
    ScreenToClient(window, &p);
    return p;
}
}  // namespace

// Each method answers E_FAIL once the control has gone, and E_UNEXPECTED when the control
// throws; a refused or failed drag leaves the effect DROPEFFECT_NONE.
HRESULT THexDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    DWORD wanted = *effect;
    *effect = DROPEFFECT_NONE;
    return WithOwner([&](THexEditorEx& control) {
        const POINT p = ClientPoint(FHandle, pt);
        HRESULT result = control.QueryDropFormat(data, keyState, 0, wanted, p);
        if (result != S_OK) return result;
        control.GetDropEffect(keyState, p, wanted);
        control.CalcDropPositionAt(p.x, p.y);
        *effect = wanted;
        return S_OK;
    });
}

HRESULT THexDropTarget::DragOver(DWORD keyState, POINTL pt, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    DWORD wanted = *effect;
    *effect = DROPEFFECT_NONE;
    return WithOwner([&](THexEditorEx& control) {
        const POINT p = ClientPoint(FHandle, pt);
        control.GetDropEffect(keyState, p, wanted);
        control.CalcDropPositionAt(p.x, p.y);
        *effect = wanted;
        return S_OK;
    });
}

HRESULT THexDropTarget::DragLeave() {
    return WithOwner([](THexEditorEx& control) {
        control.HideDropMarker();
        return S_OK;
    });
}

HRESULT THexDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    return WithOwner([&](THexEditorEx& control) {
        auto hideMarker = ScopeExit([&] { control.HideDropMarker(); });
        const POINT p = ClientPoint(FHandle, pt);
        HRESULT result = control.QueryDropFormat(data, keyState, 0, *effect, p);
        if (result == S_OK) result = control.GetDropEffect(keyState, p, *effect);
        if (result != S_OK) return result;
        try {
            // The drop goes where the button was released, even when no DragOver reached
            // that point.
            control.CalcDropPositionAt(p.x, p.y);
            return control.InsertDataObject(data, keyState, 0, *effect, p);
        } catch (...) {
            // The user dropped: tell them why nothing was inserted.
            HandleCurrentException(&control);
            *effect = DROPEFFECT_NONE;
            return E_FAIL;
        }
    });
}

}  // namespace hexedit
