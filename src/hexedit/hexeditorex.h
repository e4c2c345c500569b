// THexEditorEx: the hex editor control that forms place. On top of THexEditorControl it
// keeps a backup of the file it saves over, zooms with Ctrl(+Shift) and the wheel, selects
// a unit on double click, takes Ctrl+A / Ctrl+Z / Ctrl+Shift+Z, opens its own popup menu
// over the offset column and the ruler, and saves and loads a fixed set of its properties
// as "Path=Value" lines.
//
// Copy, cut and paste go through the OLE clipboard, and with OleDragDrop on the selection
// can be dragged out and data dropped in; the formats and COM objects are in
// hexclipboard.h. Ctrl+C, Ctrl+X and Ctrl+V run the clipboard commands. The print settings
// (PrintOptions, PrintFont, UseEditorFontForPrinting) are only kept and persisted.
#pragma once

#include <functional>
#include <string>

#include "classlib/menus.h"
#include "hexedit/hexclipboard.h"
#include "hexedit/hexcontrol.h"
#include "hexedit/hexprint.h"

namespace hexedit {

namespace hexmsg {
inline constexpr const wchar_t* CannotDeleteBackup = L"Cannot delete previous backup %s. (%s)";
inline constexpr const wchar_t* CannotCreateBackup = L"Cannot create backup %s. (%s)";
inline constexpr const wchar_t* PasteFromClipboardDesc = L"Paste from clipboard";
inline constexpr const wchar_t* CutToClipboardDesc = L"Cut to clipboard";
inline constexpr const wchar_t* DataDropped = L"Data dropped";
inline constexpr const wchar_t* DataMoved = L"Data moved";
}  // namespace hexmsg

class THexEditorEx : public THexEditorControl {
public:
    // May veto a property of the persisted set (isPublic starts true).
    using THexQueryPublicPropertyEvent =
        std::function<void(THexEditorEx* sender, const std::wstring& propertyName, bool& isPublic)>;

    explicit THexEditorEx(classlib::TComponent* owner);
    ~THexEditorEx() override;

    bool CreateBackup() const { return FCreateBackup; }
    void SetCreateBackup(bool value) { FCreateBackup = value; }
    const std::wstring& BackupExtension() const { return FBackupExtension; }
    void SetBackupExtension(const std::wstring& value) { FBackupExtension = value; }
    bool OleDragDrop() const { return FOleDragDrop; }
    // Registers or revokes the drop target at once when the window exists.
    void SetOleDragDrop(bool value);
    bool ClipboardAsHexText() const { return FClipboardAsHexText; }
    void SetClipboardAsHexText(bool value) { FClipboardAsHexText = value; }
    bool FlushClipboardAtShutDown() const { return FFlushClipboardAtShutDown; }
    void SetFlushClipboardAtShutDown(bool value) { FFlushClipboardAtShutDown = value; }
    bool SupportsOtherClipFormats() const { return FSupportsOtherClipFormats; }
    void SetSupportsOtherClipFormats(bool value) { FSupportsOtherClipFormats = value; }
    // Assigning a print font copies it and stops printing with the editor's font.
    classlib::TFont& PrintFont() { return FPrintFont; }
    void SetPrintFont(const classlib::TFont& font);
    THexPrintOptions& PrintOptions() { return FPrintOptions; }
    void SetPrintOptions(const THexPrintOptions& value) { FPrintOptions.Assign(value); }
    bool UseEditorFontForPrinting() const { return FUseEditorFontForPrinting; }
    void SetUseEditorFontForPrinting(bool value) { FUseEditorFontForPrinting = value; }
    bool ZoomOnWheel() const { return FZoomOnWheel; }
    void SetZoomOnWheel(bool value) { FZoomOnWheel = value; }
    // Popup menu for right clicks on the offset column or the ruler; not owned (cleared
    // when the menu is destroyed).
    classlib::TPopupMenu* OffsetPopupMenu() const { return FOffsetPopupMenu; }
    void SetOffsetPopupMenu(classlib::TPopupMenu* menu);
    // True for a client point on the offset and gap columns or on the ruler rows.
    bool IsOffsetPopupPoint(int x, int y);

    bool CanCopy() const { return GetDataSize() > 0 && GetSelCount() > 0; }
    bool CanCut() const { return CanCopy() && !ReadOnlyView() && !NoSizeChange(); }
    // Not read-only, the clipboard opens and offers an accepted format; with NoSizeChange
    // there must also be data to overwrite.
    bool CanPaste();
    // Puts the selection on the clipboard (own format, text or hex text, virtual file).
    // Returns CanCopy. A failing OleSetClipboard raises EOleError.
    bool CopyToClipboard();
    // CanCut and the copy succeed; then the selection is deleted.
    bool CutToClipboard();
    // Inserts (or, with a selection, replaces it by) the clipboard's data; true on success.
    // Errors of the edit (for example NoSizeChange refusing it) are raised.
    bool PasteFromClipboard();
    // When our last data object is still the clipboard's: flush it (keep the data) or
    // empty the clipboard.
    void ReleaseClipboard(bool flush);

    // ---- Data transfer (clipboard: index 1; drag and drop: index 0) -------------------
    TClipFormats GetAcceptedFormats() const { return AcceptedClipFormats(FSupportsOtherClipFormats); }
    bool FindFirstFormat(IDataObject* data, const TClipFormats& formats, WORD& format);
    HRESULT QueryDropFormat(IDataObject* data, DWORD keyState, int index, DWORD& effect, POINT pt);
    HRESULT GetDropEffect(DWORD keyState, POINT pt, DWORD& effect);
    HRESULT InsertDataObject(IDataObject* data, DWORD keyState, int index, DWORD& effect, POINT pt);
    HRESULT GetDataFromObject(IDataObject* data, WORD format, STGMEDIUM& medium);
    // The accepted formats the object lists: none → false; one → it; more → the format
    // dialog decides (and may change asHexText).
    virtual bool SelectClipboardFormat(const TClipFormats& formats, IDataObject* data, bool& asHexText,
                                       WORD& format);
    // Replaces the selection, or inserts at the caret's unit; with NoSizeChange and no
    // selection the bytes overwrite from the caret instead.
    void PasteAt(const void* buffer, int count, const std::wstring& description);
    WORD FoundFormat(int index) const { return FFoundFormats[index & 1]; }
    bool Dragging() const { return FDragging; }
    THexDataObject* ClipboardData() const { return FClipboardData; }
    // The control's drop target (registered while the window exists and OleDragDrop is on).
    THexDropTarget* DropTarget() const { return FDropTarget; }

    // While the lock is above 0 the control does not paint; reaching 0 again repaints.
    int BeginPaintLock();
    int EndPaintLock();
    int PaintLock() const { return FPaintLock; }

    // "Path=Value" lines (CR LF after each) of the persisted properties in declared order.
    std::wstring SavePropertiesToText();
    // Applies such lines; names outside the persisted set are skipped. A bad value raises
    // the setter's (or the conversion's) error, with the lines before it applied.
    void LoadPropertiesFromText(const std::wstring& text);
    // Name is in the persisted set (ignoring case) and OnQueryPublicProperty does not veto.
    virtual bool IsPersistedProperty(const std::wstring& name);

    THexQueryPublicPropertyEvent OnQueryPublicProperty;

    void CheckFileWritable() override;
    void WriteBuffer(const void* source, int pos, int count) override;
    void DblClick() override;

protected:
    void KeyDown(WORD& key, classlib::TShiftState shift) override;
    void CreateWnd() override;
    void WMDestroy(classlib::TMessage& m) override;
    void MouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void MouseMove(classlib::TShiftState shift, int x, int y) override;
    void MouseUp(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    bool DoMouseWheel(bool down, classlib::TShiftState shift) override;
    void WMContextMenu(classlib::TMessage& m) override;
    // Drags the selection out: the data object, the OLE drag loop, then the move's undo
    // step or the removal of the moved bytes.
    void StartDrag();
    // The OLE drag loop (DoDragDrop); returns its result and the performed effect.
    virtual HRESULT RunDragDrop(IDataObject* data, IDropSource* source, DWORD allowed, DWORD& effect);

private:
    bool FCreateBackup = true;
    std::wstring FBackupExtension = L".bak";
    bool FOleDragDrop = false;
    bool FClipboardAsHexText = false;
    bool FFlushClipboardAtShutDown = false;
    bool FSupportsOtherClipFormats = true;
    classlib::TFont FPrintFont;
    bool FUseEditorFontForPrinting = true;
    bool FZoomOnWheel = true;
    classlib::TComponentRef<classlib::TPopupMenu> FOffsetPopupMenu;
    bool FDblClickSelected = false;
    THexPrintOptions FPrintOptions;
    WORD FFoundFormats[2] = {0, 0};
    THexDataObject* FClipboardData = nullptr;  // one reference held
    THexDropTarget* FDropTarget = nullptr;     // one reference held
    bool FDragging = false, FDragPending = false, FMovedInside = false;
    POINT FDragPoint{0, 0};

};

}  // namespace hexedit
