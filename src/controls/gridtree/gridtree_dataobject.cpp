#include "controls/gridtree/gridtree_dataobject.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "classlib/errors.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_services.h"
#include "controls/gridtree/stringtree.h"

namespace gridtree {

// --- living trees ----------------------------------------------------------------------

namespace {
std::unordered_map<const TBaseGridTree*, uint64_t>& LiveTrees() {
    static std::unordered_map<const TBaseGridTree*, uint64_t> trees;
    return trees;
}
uint64_t GNextSerial = 0;
}  // namespace

uint64_t detail::RegisterLiveTree(TBaseGridTree* Tree) {
    const uint64_t serial = ++GNextSerial;
    LiveTrees()[Tree] = serial;
    return serial;
}

void detail::UnregisterLiveTree(TBaseGridTree* Tree) { LiveTrees().erase(Tree); }

uint64_t detail::LiveTreeSerial(const TBaseGridTree* Tree) {
    auto found = LiveTrees().find(Tree);
    return found == LiveTrees().end() ? 0 : found->second;
}

TBaseGridTree* FindLiveTree(uint64_t Address) {
    for (const auto& [tree, serial] : LiveTrees())
        if (reinterpret_cast<uint64_t>(tree) == Address) return const_cast<TBaseGridTree*>(tree);
    return nullptr;
}

TWeakTreeRef::TWeakTreeRef(TBaseGridTree* Tree) : FTree(Tree), FSerial(detail::LiveTreeSerial(Tree)) {}

TBaseGridTree* TWeakTreeRef::Get() const {
    return FSerial != 0 && detail::LiveTreeSerial(FTree) == FSerial ? FTree : nullptr;
}

void ReportLater() noexcept {
    classlib::TDeferExceptionReports deferred;
    classlib::HandleCurrentException(nullptr);
}

// --- the format registry ---------------------------------------------------------------

namespace {
std::vector<TClipboardFormatListEntry>& Registry() {
    static std::vector<TClipboardFormatListEntry> entries;
    return entries;
}
UINT GTreeDataFormat = 0;

bool SameName(const std::wstring& A, const std::wstring& B) {
    return CompareStringOrdinal(A.c_str(), int(A.size()), B.c_str(), int(B.size()), TRUE) == CSTR_EQUAL;
}

void AddEntry(const std::wstring& Name, TTreeClass RendererClass, int Priority, const FORMATETC& Descriptor) {
    auto& entries = Registry();
    for (const auto& e : entries)
        if (e.Descriptor.cfFormat == Descriptor.cfFormat && e.RendererClass == RendererClass) return;
    // Kept in ascending priority; an entry goes after those of equal priority.
    auto at = std::upper_bound(entries.begin(), entries.end(), Priority,
                               [](int p, const TClipboardFormatListEntry& e) { return p < e.Priority; });
    entries.insert(at, TClipboardFormatListEntry{Name, RendererClass, Priority, Descriptor});
}

const wchar_t* const PredefinedFormatNames[16] = {
    L"Plain text",       L"Windows bitmap",  L"Windows metafile", L"Symbolic link",
    L"Data interchange format", L"Tiff image", L"OEM text",        L"DIB image",
    L"Palette data",     L"Pen data",        L"Riff audio data",  L"Wav audio data",
    L"Unicode text",     L"Enhanced metafile image", L"File name(s)", L"Locale descriptor"};
}  // namespace

WORD RegisterTreeFormat(const std::wstring& Name, TTreeClass RendererClass, int Priority, DWORD tymed,
                        DVTARGETDEVICE* ptd, DWORD dwAspect, LONG lindex) {
    const UINT format = RegisterClipboardFormatW(Name.c_str());
    if (format == 0) return 0;
    AddEntry(Name, RendererClass, Priority,
             FORMATETC{static_cast<CLIPFORMAT>(format), ptd, dwAspect, lindex, tymed});
    return static_cast<WORD>(format);
}

void RegisterTreeFormat(WORD Format, TTreeClass RendererClass, int Priority) {
    std::wstring name;
    if (Format >= 1 && Format <= 16) {
        name = PredefinedFormatNames[Format - 1];
    } else if (Format >= 17) {
        wchar_t buffer[2049] = {};
        const int length = GetClipboardFormatNameW(Format, buffer, 2048);
        if (length <= 0) return;
        name.assign(buffer, size_t(length));
    } else {
        return;
    }
    AddEntry(name, RendererClass, Priority, FORMATETC{Format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
}

TFormatEtcArray FormatsForClass(const TBaseGridTree& Tree, const TClipboardFormats* Allowed) {
    TFormatEtcArray result;
    for (const auto& e : Registry())
        if (e.RendererClass(&Tree) && (!Allowed || Allowed->IndexOf(e.FormatName) >= 0)) result.push_back(e.Descriptor);
    return result;
}

TTreeClass FormatByName(const std::wstring& Name, FORMATETC& Format) {
    const auto& entries = Registry();
    for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
        if (SameName(e->FormatName, Name)) {
            Format = e->Descriptor;
            return e->RendererClass;
        }
    }
    return nullptr;
}

std::vector<TClipboardFormatListEntry> RegisteredTreeFormats() { return Registry(); }

UINT TreeDataClipboardFormat() { return GTreeDataFormat; }

void RegisterStandardTreeFormats() {
    if (GTreeDataFormat) return;
    const TTreeClass base = TreeClassOf<TBaseGridTree>();
    const TTreeClass strings = TreeClassOf<TCustomGridStringTree>();
    GTreeDataFormat = RegisterTreeFormat(L"Grid Tree Data", base, 50);
    RegisterTreeFormat(L"HTML Format", strings, 80);
    RegisterTreeFormat(L"Rich Text Format Without Objects", strings, 84);
    RegisterTreeFormat(L"Rich Text Format", strings, 85);
    RegisterTreeFormat(L"CSV", strings, 90);
    RegisterTreeFormat(WORD(CF_UNICODETEXT), strings, 95);
    RegisterTreeFormat(WORD(CF_TEXT), strings, 100);
}

// --- a tree's format list --------------------------------------------------------------

bool TClipboardFormats::Accepts(const std::wstring& S) const {
    FORMATETC format;
    TTreeClass renderer = FormatByName(S, format);
    return renderer && FOwner && renderer(FOwner);
}

int TClipboardFormats::IndexOf(const std::wstring& S) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (SameName(FItems[i], S)) return int(i);
    return -1;
}

int TClipboardFormats::Add(const std::wstring& S) {
    if (!Accepts(S)) return -1;
    if (int index = IndexOf(S); index >= 0) return index;
    auto at = std::lower_bound(FItems.begin(), FItems.end(), S, [](const std::wstring& A, const std::wstring& B) {
        return CompareStringOrdinal(A.c_str(), int(A.size()), B.c_str(), int(B.size()), TRUE) == CSTR_LESS_THAN;
    });
    at = FItems.insert(at, S);
    return int(at - FItems.begin());
}

void TClipboardFormats::Insert(int Index, const std::wstring& S) {
    (void)Index;
    if (!Accepts(S)) return;
    throw classlib::EStringListError(L"ソートされたリストでは挿入できません");
}

void TClipboardFormats::Delete(int Index) {
    if (Index >= 0 && Index < Count()) FItems.erase(FItems.begin() + Index);
}

// --- media -----------------------------------------------------------------------------

HRESULT CopyMedium(const STGMEDIUM& In, STGMEDIUM& Out, bool CopyInMedium, IUnknown* DataObject) {
    Out = In;
    switch (In.tymed) {
        case TYMED_HGLOBAL:
            if (CopyInMedium) {
                const SIZE_T size = GlobalSize(In.hGlobal);
                HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size ? size : 1);
                if (!block) {
                    Out = STGMEDIUM{};
                    return E_OUTOFMEMORY;
                }
                const void* from = GlobalLock(In.hGlobal);
                void* to = GlobalLock(block);
                if (from && to) std::memcpy(to, from, size);
                if (from) GlobalUnlock(In.hGlobal);
                GlobalUnlock(block);
                Out.hGlobal = block;
                // The copy belongs to its holder alone.
                Out.pUnkForRelease = nullptr;
            } else {
                Out.pUnkForRelease = DataObject;
            }
            break;
        case TYMED_FILE: {
            const size_t length = In.lpszFileName ? wcslen(In.lpszFileName) : 0;
            auto* name = static_cast<LPOLESTR>(CoTaskMemAlloc((length + 1) * sizeof(wchar_t)));
            if (!name) {
                Out = STGMEDIUM{};
                return E_OUTOFMEMORY;
            }
            if (length) std::memcpy(name, In.lpszFileName, length * sizeof(wchar_t));
            name[length] = 0;
            Out.lpszFileName = name;
            Out.pUnkForRelease = nullptr;
            break;
        }
        case TYMED_ISTREAM:
            if (In.pstm) In.pstm->AddRef();
            break;
        case TYMED_ISTORAGE:
            if (In.pstg) In.pstg->AddRef();
            break;
        case TYMED_GDI:
        case TYMED_MFPICT:
        case TYMED_ENHMF:
            if (CopyInMedium) {
                Out = STGMEDIUM{};
                return DV_E_TYMED;
            }
            Out.pUnkForRelease = DataObject;
            break;
        default:
            Out = STGMEDIUM{};
            return DV_E_TYMED;
    }
    if (Out.pUnkForRelease) Out.pUnkForRelease->AddRef();
    return S_OK;
}

// --- the format enumerator --------------------------------------------------------------

HRESULT TEnumFormatEtc::Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) {
    if (!rgelt && celt > 0) return E_INVALIDARG;
    ULONG copied = 0;
    while (copied < celt && FIndex < FFormats.size()) rgelt[copied++] = FFormats[FIndex++];
    if (pceltFetched) *pceltFetched = copied;
    return copied > 0 ? S_OK : S_FALSE;
}

HRESULT TEnumFormatEtc::Skip(ULONG celt) {
    if (FIndex + celt > FFormats.size()) return S_FALSE;
    FIndex += celt;
    return S_OK;
}

HRESULT TEnumFormatEtc::Reset() {
    FIndex = 0;
    return S_OK;
}

HRESULT TEnumFormatEtc::Clone(IEnumFORMATETC** ppenum) {
    if (!ppenum) return E_INVALIDARG;
    *ppenum = nullptr;
    try {
        *ppenum = new TEnumFormatEtc(FFormats, FIndex);
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

// --- the data object -------------------------------------------------------------------

TGTDataObject::TGTDataObject(TBaseGridTree* Tree, bool ForClipboard) : FForClipboard(ForClipboard) {
    Tree->GetNativeClipboardFormats(FFormatEtcArray);
    FOwner = TWeakTreeRef(Tree);
}

TGTDataObject::~TGTDataObject() {
    if (TBaseGridTree* tree = FOwner.Get(); tree && FForClipboard && !(tree->TreeStates() & tsClipboardFlushing)) {
        try {
            tree->CancelCutOrCopy();
        } catch (...) {
            ReportLater();
        }
    }
    for (auto& stored : FInternalStgMediumArray)
        if (stored.Medium.tymed != TYMED_NULL) ReleaseStgMedium(&stored.Medium);
}

int TGTDataObject::FindFormatEtc(const FORMATETC& Test) const {
    for (size_t i = 0; i < FFormatEtcArray.size(); ++i) {
        const FORMATETC& f = FFormatEtcArray[i];
        if (f.cfFormat == Test.cfFormat && f.ptd == Test.ptd && f.dwAspect == Test.dwAspect &&
            f.lindex == Test.lindex && (f.tymed & Test.tymed))
            return int(i);
    }
    return -1;
}

TGTDataObject::TInternalStgMedium* TGTDataObject::FindInternalStgMedium(CLIPFORMAT Format) {
    for (auto& stored : FInternalStgMediumArray)
        if (stored.Format == Format) return &stored;
    return nullptr;
}

HRESULT TGTDataObject::RenderTreeReference(TBaseGridTree& Tree, STGMEDIUM& Medium) {
    if (Tree.TreeStates() & tsClipboardFlushing) return E_FAIL;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, sizeof(TTreeReferenceBlock));
    if (!block) return E_OUTOFMEMORY;
    auto* reference = static_cast<TTreeReferenceBlock*>(GlobalLock(block));
    if (!reference) {
        GlobalFree(block);
        return E_OUTOFMEMORY;
    }
    reference->ProcessId = GetCurrentProcessId();
    reference->Tree = reinterpret_cast<uint64_t>(&Tree);
    GlobalUnlock(block);
    Medium.tymed = TYMED_HGLOBAL;
    Medium.hGlobal = block;
    Medium.pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT TGTDataObject::GetData(FORMATETC* FormatEtcIn, STGMEDIUM* Medium) {
    if (!FormatEtcIn || !Medium) return E_INVALIDARG;
    *Medium = STGMEDIUM{};
    try {
        TBaseGridTree* tree = FOwner.Get();
        if (!tree) return E_FAIL;
        if (FormatEtcIn->cfFormat == TreeReferenceClipboardFormat()) {
            if (!(FormatEtcIn->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
            return RenderTreeReference(*tree, *Medium);
        }
        HRESULT result = QueryGetData(FormatEtcIn);
        if (result != S_OK) return result;
        TInternalStgMedium* stored = FindInternalStgMedium(FormatEtcIn->cfFormat);
        if (stored && stored->Medium.tymed != TYMED_NULL)
            return CopyMedium(stored->Medium, *Medium, false, Identity());
        result = tree->RenderOLEData(*FormatEtcIn, *Medium, FForClipboard);
        if (FAILED(result)) *Medium = STGMEDIUM{};
        return result;
    } catch (...) {
        *Medium = STGMEDIUM{};
        ReportLater();
        return E_FAIL;
    }
}

HRESULT TGTDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT TGTDataObject::QueryGetData(FORMATETC* FormatEtc) {
    if (!FormatEtc) return E_INVALIDARG;
    HRESULT result = DV_E_CLIPFORMAT;
    for (const FORMATETC& f : FFormatEtcArray) {
        if (f.cfFormat != FormatEtc->cfFormat) continue;
        if (f.tymed & FormatEtc->tymed) {
            result = DV_E_DVASPECT;
            if (f.dwAspect == FormatEtc->dwAspect) {
                if (f.lindex == FormatEtc->lindex) return S_OK;
                result = DV_E_LINDEX;
            }
        } else {
            result = DV_E_TYMED;
        }
    }
    return result;
}

HRESULT TGTDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* FormatEtcOut) {
    if (FormatEtcOut) FormatEtcOut->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT TGTDataObject::SetData(FORMATETC* FormatEtc, STGMEDIUM* Medium, BOOL DoRelease) {
    if (!FormatEtc || !Medium) return E_INVALIDARG;
    // A target device would have to be copied and kept; no format of ours has one.
    if (FormatEtc->ptd) return DV_E_FORMATETC;
    try {
        TInternalStgMedium* stored = nullptr;
        if (int index = FindFormatEtc(*FormatEtc); index >= 0) {
            stored = FindInternalStgMedium(FormatEtc->cfFormat);
        } else {
            FFormatEtcArray.push_back(*FormatEtc);
        }
        if (!stored) {
            FInternalStgMediumArray.push_back(TInternalStgMedium{FormatEtc->cfFormat, STGMEDIUM{}});
            stored = &FInternalStgMediumArray.back();
        } else if (stored->Medium.tymed != TYMED_NULL) {
            ReleaseStgMedium(&stored->Medium);
            stored->Medium = STGMEDIUM{};
        }
        HRESULT result = S_OK;
        if (DoRelease) {
            stored->Medium = *Medium;
        } else {
            result = CopyMedium(*Medium, stored->Medium, true, Identity());
            if (SUCCEEDED(result) && stored->Medium.pUnkForRelease) {
                classlib::TComPtr<IUnknown> identity;
                stored->Medium.pUnkForRelease->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.Put()));
                if (identity.Get() == Identity()) {
                    // A medium that names this object as its release object would keep it
                    // alive for ever.
                    stored->Medium.pUnkForRelease->Release();
                    stored->Medium.pUnkForRelease = nullptr;
                }
            }
        }
        if (FAdviseHolder) FAdviseHolder->SendOnDataChange(this, 0, 0);
        return result;
    } catch (...) {
        ReportLater();
        return E_OUTOFMEMORY;
    }
}

HRESULT TGTDataObject::EnumFormatEtc(DWORD Direction, IEnumFORMATETC** EnumFormatEtc) {
    if (!EnumFormatEtc) return E_INVALIDARG;
    *EnumFormatEtc = nullptr;
    if (Direction != DATADIR_GET) return OLE_S_USEREG;
    try {
        *EnumFormatEtc = new TEnumFormatEtc(FFormatEtcArray);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT TGTDataObject::DAdvise(FORMATETC* FormatEtc, DWORD advf, IAdviseSink* advSink, DWORD* dwConnection) {
    if (!FAdviseHolder && FAILED(CreateDataAdviseHolder(FAdviseHolder.Put()))) return E_OUTOFMEMORY;
    return FAdviseHolder->Advise(this, FormatEtc, advf, advSink, dwConnection);
}

HRESULT TGTDataObject::DUnadvise(DWORD dwConnection) {
    return FAdviseHolder ? FAdviseHolder->Unadvise(dwConnection) : E_NOTIMPL;
}

HRESULT TGTDataObject::EnumDAdvise(IEnumSTATDATA** enumAdvise) {
    if (enumAdvise) *enumAdvise = nullptr;
    return FAdviseHolder ? FAdviseHolder->EnumAdvise(enumAdvise) : OLE_E_ADVISENOTSUPPORTED;
}

// --- streams over received data --------------------------------------------------------

size_t TOLEMemoryStream::Write(const void*, size_t) {
    throw classlib::EStreamError(L"読み込み専用リソース ストリームには書き込めません");
}

size_t TOLEStream::Read(void* Buffer, size_t Count) {
    ULONG done = 0;
    if (FAILED(FStream->Read(Buffer, ULONG(std::min<size_t>(Count, 0x7FFFFFFF)), &done))) return 0;
    return done;
}

size_t TOLEStream::Write(const void* Buffer, size_t Count) {
    ULONG done = 0;
    if (FAILED(FStream->Write(Buffer, ULONG(std::min<size_t>(Count, 0x7FFFFFFF)), &done))) return 0;
    return done;
}

int64_t TOLEStream::Seek(int64_t Offset, classlib::TSeekOrigin Origin) {
    LARGE_INTEGER move;
    move.QuadPart = Offset;
    ULARGE_INTEGER now{};
    const DWORD origin = Origin == classlib::soFromBeginning ? STREAM_SEEK_SET
                         : Origin == classlib::soFromCurrent ? STREAM_SEEK_CUR
                                                             : STREAM_SEEK_END;
    if (FAILED(FStream->Seek(move, origin, &now)))
        throw classlib::EStreamError(L"ストリームのシーク位置が正しくありません");
    return int64_t(now.QuadPart);
}

void TOLEStream::SetSize(int64_t NewSize) {
    ULARGE_INTEGER size;
    size.QuadPart = uint64_t(NewSize);
    if (FAILED(FStream->SetSize(size))) throw classlib::EStreamError(L"このストリームのサイズは変更できません");
}

std::vector<CLIPFORMAT> ReadFormatList(IDataObject* DataObject, size_t Cap) {
    std::vector<CLIPFORMAT> formats;
    classlib::TComPtr<IEnumFORMATETC> formatsOf;
    if (!DataObject || FAILED(DataObject->EnumFormatEtc(DATADIR_GET, formatsOf.Put())) || !formatsOf) return formats;
    formatsOf->Reset();
    FORMATETC item{};
    ULONG fetched = 0;
    while (formats.size() < Cap && formatsOf->Next(1, &item, &fetched) == S_OK && fetched == 1) {
        formats.push_back(item.cfFormat);
        if (item.ptd) CoTaskMemFree(item.ptd);
        fetched = 0;
    }
    return formats;
}

}  // namespace gridtree
