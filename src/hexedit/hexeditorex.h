// THexEditorEx: the hex editor control that forms place. On top of THexEditorControl it
// keeps a backup of the file it saves over, zooms with Ctrl(+Shift) and the wheel, selects
// a unit on double click, takes Ctrl+A / Ctrl+Z / Ctrl+Shift+Z, opens its own popup menu
// over the offset column and the ruler, and saves and loads a fixed set of its properties
// as "Path=Value" lines.
//
// The clipboard and drag-and-drop flags (OleDragDrop, ClipboardAsHexText,
// FlushClipboardAtShutDown, SupportsOtherClipFormats) and the print settings (PrintFont,
// UseEditorFontForPrinting) are kept and persisted here; the transfers themselves live
// elsewhere.
#pragma once

#include <functional>
#include <string>

#include "classlib/menus.h"
#include "hexedit/hexcontrol.h"

namespace hexmsg {
inline constexpr const wchar_t* CannotDeleteBackup = L"Cannot delete previous backup %s. (%s)";
inline constexpr const wchar_t* CannotCreateBackup = L"Cannot create backup %s. (%s)";
}  // namespace hexmsg

class THexEditorEx : public THexEditorControl {
public:
    // May veto a property of the persisted set (isPublic starts true).
    using TQueryPublicPropertyEvent =
        std::function<void(THexEditorEx* sender, const std::wstring& propertyName, bool& isPublic)>;

    explicit THexEditorEx(classlib::TComponent* owner);
    ~THexEditorEx() override;

    bool CreateBackup() const { return FCreateBackup; }
    void SetCreateBackup(bool value) { FCreateBackup = value; }
    const std::wstring& BackupExtension() const { return FBackupExtension; }
    void SetBackupExtension(const std::wstring& value) { FBackupExtension = value; }
    bool OleDragDrop() const { return FOleDragDrop; }
    void SetOleDragDrop(bool value) { FOleDragDrop = value; }
    bool ClipboardAsHexText() const { return FClipboardAsHexText; }
    void SetClipboardAsHexText(bool value) { FClipboardAsHexText = value; }
    bool FlushClipboardAtShutDown() const { return FFlushClipboardAtShutDown; }
    void SetFlushClipboardAtShutDown(bool value) { FFlushClipboardAtShutDown = value; }
    bool SupportsOtherClipFormats() const { return FSupportsOtherClipFormats; }
    void SetSupportsOtherClipFormats(bool value) { FSupportsOtherClipFormats = value; }
    // Assigning a print font copies it and stops printing with the editor's font.
    classlib::TFont& PrintFont() { return FPrintFont; }
    void SetPrintFont(const classlib::TFont& font);
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

    TQueryPublicPropertyEvent OnQueryPublicProperty;

    void CheckFileWritable() override;
    void WriteBuffer(const void* source, int pos, int count) override;
    void DblClick() override;

protected:
    void KeyDown(WORD& key, classlib::TShiftState shift) override;
    void MouseUp(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    bool DoMouseWheel(bool down, classlib::TShiftState shift) override;
    void WMContextMenu(classlib::TMessage& m) override;
    void Notification(classlib::TComponent* component, classlib::TOperation operation) override;

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
    classlib::TPopupMenu* FOffsetPopupMenu = nullptr;
    bool FDblClickSelected = false;
};
