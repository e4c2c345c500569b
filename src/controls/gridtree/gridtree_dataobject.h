// OLE data transfer of the grid trees: the program-wide list of clipboard formats the tree
// classes can render, a tree's list of formats it may offer (`ClipboardFormats`), the data
// object that offers them and renders them on demand through its tree, the format
// enumerator it hands out, and the read-only memory stream over a received block.
//
// The COM objects count their references through classlib::TComObject. No exception
// leaves a COM method: each answers with an HRESULT, and an unexpected failure is queued
// for the application's report (classlib::HandleCurrentException in a deferred scope).
//
// A data object does not keep its tree alive. It names the tree weakly (address and the
// serial number the tree got when it was made); once the tree is gone its methods answer
// E_FAIL and its destructor touches nothing.
//
// Threading: the main thread only (OLE is initialised as a single-threaded apartment).
#pragma once

#include <windows.h>
#include <ole2.h>

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/comobject.h"
#include "classlib/streams.h"
#include "controls/gridtree/gridtree_types.h"

namespace gridtree {

// The renderer class of a format: does a tree belong to that class (or a descendant)?
using TTreeClass = bool (*)(const TBaseGridTree* Tree);
template <class T>
TTreeClass TreeClassOf() {
    return [](const TBaseGridTree* Tree) { return dynamic_cast<const T*>(Tree) != nullptr; };
}

using TFormatEtcArray = std::vector<FORMATETC>;

struct TClipboardFormatListEntry {
    std::wstring FormatName;
    TTreeClass RendererClass;
    int Priority;  // lower numbers are offered first
    FORMATETC Descriptor;
};

// Registers the name with the system and enters it with that renderer class and priority;
// returns the format number (0 when the system refused the name).
WORD RegisterTreeFormat(const std::wstring& Name, TTreeClass RendererClass, int Priority,
                        DWORD tymed = TYMED_HGLOBAL, DVTARGETDEVICE* ptd = nullptr,
                        DWORD dwAspect = DVASPECT_CONTENT, LONG lindex = -1);
// Enters a format by number: 1 to 16 under their predefined names ("Plain text", "Unicode
// text"...), 17 and above under the system's name; other numbers add nothing.
void RegisterTreeFormat(WORD Format, TTreeClass RendererClass, int Priority);
// The entries Tree's class can render, in ascending priority; with Allowed, only those
// whose name it lists.
TFormatEtcArray FormatsForClass(const TBaseGridTree& Tree, const class TClipboardFormats* Allowed);
// The entry with that name (case-insensitive): its renderer class (nullptr when no such
// format is registered) and its descriptor.
TTreeClass FormatByName(const std::wstring& Name, FORMATETC& Format);
// The registered entries in their order (for tests and diagnosis).
std::vector<TClipboardFormatListEntry> RegisteredTreeFormats();
// The formats every tree process registers once (the unit's initialisation calls it).
void RegisterStandardTreeFormats();
// The number of "Grid Tree Data".
UINT TreeDataClipboardFormat();

// The format names a tree may offer: sorted, ignoring case, duplicates ignored. Only names
// that are registered for the owner's class (or an ancestor of it) are taken.
class TClipboardFormats {
public:
    explicit TClipboardFormats(TBaseGridTree* Owner) : FOwner(Owner) {}
    // The index of the name, or -1 when it was refused.
    int Add(const std::wstring& S);
    // Refused names do nothing; an accepted one raises EStringListError, because the list
    // is sorted (add with Add).
    void Insert(int Index, const std::wstring& S);
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    const std::wstring& Strings(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    int IndexOf(const std::wstring& S) const;

private:
    bool Accepts(const std::wstring& S) const;
    TBaseGridTree* FOwner;
    std::vector<std::wstring> FItems;
};

// A tree named without keeping it alive: Get() answers the tree while it lives, else null.
class TWeakTreeRef {
public:
    TWeakTreeRef() = default;
    explicit TWeakTreeRef(TBaseGridTree* Tree);
    TBaseGridTree* Get() const;

private:
    TBaseGridTree* FTree = nullptr;
    uint64_t FSerial = 0;
};

// The living tree at an address of this process, or null (the address is only compared,
// never read).
TBaseGridTree* FindLiveTree(uint64_t Address);
namespace detail {
// Called by every tree's constructor and destructor.
uint64_t RegisterLiveTree(TBaseGridTree* Tree);
void UnregisterLiveTree(TBaseGridTree* Tree);
uint64_t LiveTreeSerial(const TBaseGridTree* Tree);
}  // namespace detail

// The block of "Grid Tree Reference": the process id and the tree's address.
struct TTreeReferenceBlock {
    uint32_t ProcessId;
    uint32_t Reserved;
    uint64_t Tree;
};
static_assert(sizeof(TTreeReferenceBlock) == 16, "tree reference layout");

// Copies a medium: HGLOBAL blocks with CopyInMedium as a new block of the same bytes, else
// by reference with DataObject as the release object; file names into task memory; streams
// and storages with one more reference; GDI objects and metafiles only by reference.
HRESULT CopyMedium(const STGMEDIUM& In, STGMEDIUM& Out, bool CopyInMedium, IUnknown* DataObject);

// Lists a private copy of formats.
class TEnumFormatEtc : public classlib::TComObject<IEnumFORMATETC> {
public:
    explicit TEnumFormatEtc(TFormatEtcArray Formats, size_t Index = 0)
        : FFormats(std::move(Formats)), FIndex(Index) {}
    HRESULT STDMETHODCALLTYPE Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** ppenum) override;

private:
    ~TEnumFormatEtc() override = default;
    TFormatEtcArray FFormats;
    size_t FIndex;
};

// The data of a tree for the clipboard (ForClipboard) or for a drag. Offers the tree's
// native formats plus what SetData added, and "Grid Tree Reference" always (while the tree
// lives and is not flushing the clipboard).
class TGTDataObject : public classlib::TComObject<IDataObject> {
public:
    TGTDataObject(TBaseGridTree* Tree, bool ForClipboard);

    TBaseGridTree* Owner() const { return FOwner.Get(); }
    bool ForClipboard() const { return FForClipboard; }
    const TFormatEtcArray& Formats() const { return FFormatEtcArray; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* FormatEtcIn, STGMEDIUM* Medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* FormatEtc, STGMEDIUM* Medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* FormatEtc) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* FormatEtc, FORMATETC* FormatEtcOut) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* FormatEtc, STGMEDIUM* Medium, BOOL DoRelease) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD Direction, IEnumFORMATETC** EnumFormatEtc) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* FormatEtc, DWORD advf, IAdviseSink* advSink,
                                      DWORD* dwConnection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD dwConnection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** enumAdvise) override;

protected:
    ~TGTDataObject() override;

private:
    struct TInternalStgMedium {
        CLIPFORMAT Format;
        STGMEDIUM Medium;
    };
    int FindFormatEtc(const FORMATETC& Test) const;
    TInternalStgMedium* FindInternalStgMedium(CLIPFORMAT Format);
    HRESULT RenderTreeReference(TBaseGridTree& Tree, STGMEDIUM& Medium);

    TWeakTreeRef FOwner;
    bool FForClipboard;
    TFormatEtcArray FFormatEtcArray;
    std::vector<TInternalStgMedium> FInternalStgMediumArray;
    classlib::TComPtr<IDataAdviseHolder> FAdviseHolder;
};

// A read-only stream over a block of memory it does not own (a received HGLOBAL).
// Writing raises EStreamError.
class TOLEMemoryStream : public classlib::TCustomMemoryStream {
public:
    TOLEMemoryStream(const void* Memory, size_t Size) { SetPointer(const_cast<void*>(Memory), Size); }
    size_t Write(const void* Buffer, size_t Count) override;
};

// A stream over an IStream (reads and seeks; writes pass through).
class TOLEStream : public classlib::TStream {
public:
    explicit TOLEStream(IStream* Stream) : FStream(Stream) {}
    size_t Read(void* Buffer, size_t Count) override;
    size_t Write(const void* Buffer, size_t Count) override;
    int64_t Seek(int64_t Offset, classlib::TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;

private:
    IStream* FStream;
};

// The clipboard format numbers another data object offers for reading, at most Cap of
// them (another program may hand out an enumerator that never ends).
std::vector<CLIPFORMAT> ReadFormatList(IDataObject* DataObject, size_t Cap = 1024);

// Queues the current exception for the application's report; for catch blocks of COM
// methods and other places an exception must not leave.
void ReportLater() noexcept;

}  // namespace gridtree
