// Clipboard and drag-and-drop data of the extended hex editor: the formats it registers,
// the formats it accepts (in priority order) and how each becomes bytes, and the small COM
// objects that carry the data: the data object offered on copy and drag, its format
// enumerator, the drop source, the drop target and a reader of another object's formats.
//
// The COM objects count their references through classlib::TComObject. COM methods never
// let an exception escape: they answer with an HRESULT instead.
// Threading: the main thread only, where the application object initialised OLE (a
// single-threaded apartment).
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "classlib/comobject.h"
#include "classlib/errors.h"

namespace hexedit {

class THexEditorEx;

// A failed OLE call; ErrorCode holds its HRESULT.
class EOleError : public classlib::Exception {
public:
    explicit EOleError(HRESULT code);
    HRESULT ErrorCode;
};
// Raises EOleError when `code` is a failure.
void OleCheck(HRESULT code);

namespace hexclip {

// The registered clipboard format numbers, registered on first use and kept for the life
// of the process.
struct TRegisteredFormats {
    UINT Own;                     // "THexeditorEx Clipboard Format"
    UINT HexData;                 // "RegEdit_HexData" (read, never offered)
    UINT RichText;                // "Rich Text Format"
    UINT Html;                    // "HTML Format"
    UINT FileContents;            // "FileContents"
    UINT FileGroupDescriptor;     // "FileGroupDescriptor"
    UINT PerformedEffect;         // "Performed DropEffect"
    UINT LogicalPerformedEffect;  // "Logical Performed DropEffect"
};
const TRegisteredFormats& Formats();

// Own format block: u32 magic "MPTH", u32 version, u32 count, the bytes.
constexpr uint32_t OwnMagic = 0x4854504D;
constexpr uint32_t OwnVersion = 0x00010001;

}  // namespace hexclip

using TClipFormats = std::vector<WORD>;

// The accepted formats in priority order; only the own format and files when
// supportsOther is false.
TClipFormats AcceptedClipFormats(bool supportsOther);

// Bytes of one block of clipboard data. `data`/`size` are the locked global block (null/0
// for formats held as GDI handles, which come in `handle`). Rich text and HTML count as
// text. `swap` exchanges the two bytes of each UTF-16 unit of Unicode text. Malformed
// blocks give no bytes.
std::string ClipboardDataToBytes(const void* data, HANDLE handle, WORD format, bool swap, size_t size);

// Data offered by a copy or a drag: the own format, CF_TEXT (text or hex text), and the
// bytes as a virtual file "Dump of <name>.bin". Created with one reference.
class THexDataObject : public classlib::TComObject<IDataObject> {
public:
    // fileName: the editor's file name; its file part without extension names the virtual file.
    THexDataObject(std::string bytes, bool swapNibbles, bool asHexText, const std::wstring& fileName);

    const std::string& Bytes() const { return FBytes; }
    const std::wstring& VirtualFileName() const { return FVirtualName; }
    // The effect a drop target reported back through SetData, if any.
    bool HasReportedEffect() const { return FHasEffect; }
    DWORD ReportedEffect() const { return FEffect; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** enumerator) override;

private:
    ~THexDataObject() override = default;
    size_t BlockSize(UINT format) const;
    void FillBlock(UINT format, uint8_t* block) const;

    std::string FBytes;
    std::wstring FVirtualName;
    bool FSwapNibbles, FAsHexText;
    bool FHasEffect = false;
    DWORD FEffect = 0;
};

// Lists the four offered formats: own, CF_TEXT, file group descriptor, file contents.
class THexEnumFormatETC : public classlib::TComObject<IEnumFORMATETC> {
public:
    explicit THexEnumFormatETC(ULONG index = 0) : FIndex(index) {}
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* items, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** enumerator) override;

private:
    ~THexEnumFormatETC() override = default;
    static constexpr ULONG kCount = 4;
    ULONG FIndex;
};

// Escape cancels, releasing the left button drops.
class THexDropSource : public classlib::TComObject<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    ~THexDropSource() override = default;
};

// The formats another data object lists for reading, in its order.
class TFormatEnum {
public:
    explicit TFormatEnum(IDataObject* data);
    ~TFormatEnum();
    TFormatEnum(const TFormatEnum&) = delete;
    TFormatEnum& operator=(const TFormatEnum&) = delete;
    bool HasFormat(WORD format) const;
    // The first record with that format; without one every byte is 0xFF and false returns.
    bool GetFormatEtc(WORD format, FORMATETC& out) const;
    const std::vector<FORMATETC>& Items() const { return FItems; }

private:
    std::vector<FORMATETC> FItems;
};

// The drop target of one control. Created with one reference held by the control; the
// control calls Detach() when it goes, which unregisters the window, forgets the control
// and drops the control's reference. Without its control every method fails.
class THexDropTarget : public classlib::TComOwnedObject<THexEditorEx, IDropTarget> {
public:
    explicit THexDropTarget(THexEditorEx* control) : TComOwnedObject(control) {}
    // Registers the control's window (creating it when needed) or revokes the remembered
    // one. Failures raise EOleError.
    void SetRegistered(bool value);
    bool Registered() const { return FRegistered; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;

private:
    ~THexDropTarget() override = default;
    void OwnerGone() noexcept override;
    HWND FHandle = nullptr;
    bool FRegistered = false;
};

}  // namespace hexedit
