// The hex editor's clipboard formats, the conversion of accepted formats to bytes and the
// COM objects of the data transfer (data object, format enumerator, drop source, format
// reader).
#include "hexedit/hexclipboard.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "classlib/gdiguards.h"
#include "classlib/runtime.h"
#include "classlib/scopeguard.h"
#include "hexedit/hexcore.h"

namespace hexedit {

using namespace classlib;

EOleError::EOleError(HRESULT code)
    : classlib::Exception(SysErrorMessage(static_cast<DWORD>(code))), ErrorCode(code) {}

void OleCheck(HRESULT code) {
    if (FAILED(code)) throw EOleError(code);
}

namespace hexclip {

namespace {

UINT Register(const wchar_t* name) { return RegisterClipboardFormatW(name); }

}  // namespace

const TRegisteredFormats& Formats() {
    static const TRegisteredFormats formats{
        Register(L"THexeditorEx Clipboard Format"), Register(L"RegEdit_HexData"),
        Register(L"Rich Text Format"),              Register(L"HTML Format"),
        Register(L"FileContents"),                  Register(L"FileGroupDescriptor"),
        Register(L"Performed DropEffect"),          Register(L"Logical Performed DropEffect")};
    return formats;
}

}  // namespace hexclip

using hexclip::Formats;

TClipFormats AcceptedClipFormats(bool supportsOther) {
    const auto& f = Formats();
    TClipFormats list{static_cast<WORD>(f.Own), CF_HDROP};
    if (supportsOther) {
        const WORD more[] = {CF_TEXT,         static_cast<WORD>(f.RichText),
                             CF_UNICODETEXT,  CF_BITMAP,
                             CF_PALETTE,      CF_METAFILEPICT,
                             CF_TIFF,         CF_OEMTEXT,
                             CF_DIB,          CF_RIFF,
                             CF_WAVE,         CF_ENHMETAFILE,
                             CF_LOCALE,       static_cast<WORD>(f.HexData),
                             static_cast<WORD>(f.Html)};
        list.insert(list.end(), std::begin(more), std::end(more));
    }
    return list;
}

// ---- Accepted data to bytes ---------------------------------------------------------------

namespace {

uint32_t ReadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// A bitmap file image (24 or 32 bits per pixel) of a bitmap handle.
std::string BitmapFileImage(HBITMAP source) {
    HBITMAP bitmap = static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, 0, 0, LR_COPYRETURNORG));
    if (!bitmap) return {};
    // A copy is ours to delete; the original stays the clipboard's.
    TGdiObject<HBITMAP> copy(bitmap != source ? bitmap : nullptr);
    std::string out;
    BITMAP bm{};
    if (GetObjectW(bitmap, sizeof(bm), &bm) && bm.bmWidth > 0 && bm.bmHeight > 0) {
        BITMAPINFOHEADER info{};
        info.biSize = sizeof(info);
        info.biWidth = bm.bmWidth;
        info.biHeight = bm.bmHeight;
        info.biPlanes = 1;
        info.biBitCount = bm.bmBitsPixel == 32 ? 32 : 24;
        info.biCompression = BI_RGB;
        const size_t stride = ((static_cast<size_t>(bm.bmWidth) * info.biBitCount + 31) / 32) * 4;
        const size_t imageSize = stride * static_cast<size_t>(bm.bmHeight);
        // A picture too large for a bitmap file gives no bytes.
        if (!std::in_range<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(info) + imageSize)) return {};
        info.biSizeImage = Win32Size<DWORD>(imageSize);
        std::string pixels(imageSize, '\0');
        const int lines = GetDIBits(TWindowDC(nullptr).Handle(), bitmap, 0, static_cast<UINT>(bm.bmHeight),
                                    pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
        if (lines > 0) {
            BITMAPFILEHEADER file{};
            file.bfType = 0x4D42;
            file.bfOffBits = sizeof(file) + sizeof(info);
            file.bfSize = Win32Size<DWORD>(file.bfOffBits + imageSize);
            out.append(reinterpret_cast<const char*>(&file), sizeof(file));
            out.append(reinterpret_cast<const char*>(&info), sizeof(info));
            out += pixels;
        }
    }
    return out;
}

}  // namespace

std::string ClipboardDataToBytes(const void* data, HANDLE handle, WORD format, bool swap, size_t size) {
    const auto& f = Formats();
    const auto* p = static_cast<const uint8_t*>(data);
    if (format == f.RichText || format == f.Html) format = CF_TEXT;
    if (!p) size = 0;
    if (format == f.Own) {
        if (size < 12 || ReadU32(p) != hexclip::OwnMagic || ReadU32(p + 4) != hexclip::OwnVersion) return {};
        return std::string(reinterpret_cast<const char*>(p + 12), std::min<size_t>(ReadU32(p + 8), size - 12));
    }
    if (format == f.HexData) {
        if (size < 4) return {};
        return std::string(reinterpret_cast<const char*>(p + 4), std::min<size_t>(ReadU32(p), size - 4));
    }
    switch (format) {
        case CF_TEXT:
        case CF_OEMTEXT: {
            if (!p) return {};
            const void* zero = std::memchr(p, 0, size);
            return std::string(reinterpret_cast<const char*>(p),
                               zero ? static_cast<const uint8_t*>(zero) - p : size);
        }
        case CF_UNICODETEXT: {
            std::string out;
            for (size_t i = 0; i + 1 < size; i += 2) {
                uint16_t unit = static_cast<uint16_t>(p[i] | (p[i + 1] << 8));
                if (unit == 0) break;
                if (swap) unit = static_cast<uint16_t>((unit >> 8) | (unit << 8));
                out += static_cast<char>(unit & 0xFF);
                out += static_cast<char>(unit >> 8);
            }
            return out;
        }
        case CF_BITMAP: return handle ? BitmapFileImage(static_cast<HBITMAP>(handle)) : std::string();
        case CF_METAFILEPICT: {
            if (!p || size < sizeof(METAFILEPICT)) return {};
            const auto* pict = reinterpret_cast<const METAFILEPICT*>(p);
            const UINT bits = GetMetaFileBitsEx(pict->hMF, 0, nullptr);
            if (bits == 0) return {};
            std::string out(bits, '\0');
            if (GetMetaFileBitsEx(pict->hMF, bits, out.data()) != bits) return {};
            return out;
        }
        case CF_DIB: {
            if (!p) return {};
            std::string out("BM");
            out.append(12, '\0');
            out.append(reinterpret_cast<const char*>(p), size);
            return out;
        }
        case CF_PALETTE: {
            WORD count = 0;
            if (!handle || !GetObjectW(handle, sizeof(count), &count) || count == 0) return {};
            std::string out(4 + 4 * static_cast<size_t>(count), '\0');
            auto* pal = reinterpret_cast<LOGPALETTE*>(out.data());
            pal->palVersion = 0x300;
            pal->palNumEntries = count;
            GetPaletteEntries(static_cast<HPALETTE>(handle), 0, count, pal->palPalEntry);
            return out;
        }
        case CF_ENHMETAFILE: {
            if (!handle) return {};
            HENHMETAFILE copy = CopyEnhMetaFileW(static_cast<HENHMETAFILE>(handle), nullptr);
            if (!copy) return {};
            auto deleteCopy = ScopeExit([copy] { DeleteEnhMetaFile(copy); });
            std::string out(GetEnhMetaFileBits(copy, 0, nullptr), '\0');
            if (!out.empty() && GetEnhMetaFileBits(copy, Win32Size<UINT>(out.size()),
                                                   reinterpret_cast<BYTE*>(out.data())) != out.size())
                out.clear();
            return out;
        }
        case CF_LOCALE:
            return p ? std::string(reinterpret_cast<const char*>(p), std::min<size_t>(2, size)) : std::string();
        default: return p ? std::string(reinterpret_cast<const char*>(p), size) : std::string();
    }
}

// ---- Data object --------------------------------------------------------------------------

THexDataObject::THexDataObject(std::string bytes, bool swapNibbles, bool asHexText, const std::wstring& fileName)
    : FBytes(std::move(bytes)), FSwapNibbles(swapNibbles), FAsHexText(asHexText) {
    std::wstring base = fileName.substr(fileName.find_last_of(L"\\/:") == std::wstring::npos
                                            ? 0
                                            : fileName.find_last_of(L"\\/:") + 1);
    if (const size_t dot = base.find_last_of(L'.'); dot != std::wstring::npos) base.erase(dot);
    FVirtualName = L"Dump of " + base + L".bin";
    if (FVirtualName.size() > 255) FVirtualName.resize(255);
}

size_t THexDataObject::BlockSize(UINT format) const {
    const auto& f = Formats();
    const size_t n = FBytes.size();
    if (format == f.Own) return n + 12;
    if (format == CF_TEXT) {
        if (FAsHexText) return 2 * n + 1;
        const size_t zero = FBytes.find('\0');
        return (zero == std::string::npos ? n : zero) + 1;
    }
    if (format == f.FileGroupDescriptor) return sizeof(FILEGROUPDESCRIPTORA);
    return n;  // file contents
}

void THexDataObject::FillBlock(UINT format, uint8_t* block) const {
    const auto& f = Formats();
    const size_t n = FBytes.size();
    if (format == CF_TEXT) {
        const std::string text = FAsHexText ? ConvertBinToHex(reinterpret_cast<const uint8_t*>(FBytes.data()), n,
                                                              FSwapNibbles)
                                            : FBytes.substr(0, FBytes.find('\0'));
        std::memcpy(block, text.data(), text.size());
        block[text.size()] = 0;
    } else if (format == f.Own) {
        const uint32_t head[3] = {hexclip::OwnMagic, hexclip::OwnVersion, static_cast<uint32_t>(n)};
        std::memcpy(block, head, sizeof(head));
        std::memcpy(block + 12, FBytes.data(), n);
    } else if (format == f.FileGroupDescriptor) {
        auto* group = reinterpret_cast<FILEGROUPDESCRIPTORA*>(block);
        group->cItems = 1;
        FILEDESCRIPTORA& d = group->fgd[0];
        d.dwFlags = FD_WRITESTIME | FD_FILESIZE;
        GetSystemTimeAsFileTime(&d.ftLastWriteTime);
        d.nFileSizeHigh = 0;
        d.nFileSizeLow = static_cast<DWORD>(n);
        WideCharToMultiByte(CP_ACP, 0, FVirtualName.c_str(), -1, d.cFileName, MAX_PATH - 1, nullptr, nullptr);
        d.cFileName[MAX_PATH - 1] = 0;
    } else {
        std::memcpy(block, FBytes.data(), n);
    }
}

HRESULT THexDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_INVALIDARG;
    *medium = STGMEDIUM{};
    const HRESULT query = QueryGetData(format);
    if (query != S_OK) return query;
    HGLOBAL block = nullptr;
    try {
        const size_t size = BlockSize(format->cfFormat);
        block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, size == 0 ? 1 : size);
        if (!block) return E_OUTOFMEMORY;
        auto* p = static_cast<uint8_t*>(GlobalLock(block));
        if (!p) throw std::bad_alloc();
        FillBlock(format->cfFormat, p);
        GlobalUnlock(block);
    } catch (...) {
        if (block) GlobalFree(block);
        return E_OUTOFMEMORY;
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT THexDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }

HRESULT THexDataObject::QueryGetData(FORMATETC* format) {
    if (!format) return E_INVALIDARG;
    const auto& f = Formats();
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
    if (format->lindex != -1 && format->lindex != 0 && format->cfFormat != f.FileContents) return DV_E_LINDEX;
    const UINT cf = format->cfFormat;
    if (cf != f.Own && cf != CF_TEXT && cf != f.FileGroupDescriptor && cf != f.FileContents) return DV_E_FORMATETC;
    return S_OK;
}

HRESULT THexDataObject::GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) {
    if (!in || !out) return E_INVALIDARG;
    *out = *in;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT THexDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
    if (!format || !medium) return E_INVALIDARG;
    HRESULT result = E_NOTIMPL;
    const auto& f = Formats();
    if ((format->cfFormat == f.PerformedEffect || format->cfFormat == f.LogicalPerformedEffect) &&
        medium->tymed == TYMED_HGLOBAL && medium->hGlobal) {
        if (GlobalSize(medium->hGlobal) >= 4) {
            if (const void* p = GlobalLock(medium->hGlobal)) {
                FEffect = ReadU32(static_cast<const uint8_t*>(p));
                FHasEffect = true;
                GlobalUnlock(medium->hGlobal);
                result = S_OK;
            }
        }
    }
    if (release) ReleaseStgMedium(medium);
    return result;
}

HRESULT THexDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) {
    if (!enumerator) return E_INVALIDARG;
    *enumerator = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    try {
        *enumerator = new THexEnumFormatETC();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT THexDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT THexDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT THexDataObject::EnumDAdvise(IEnumSTATDATA** enumerator) {
    if (enumerator) *enumerator = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

// ---- Format enumerator --------------------------------------------------------------------

HRESULT THexEnumFormatETC::Next(ULONG count, FORMATETC* items, ULONG* fetched) {
    if (!items || (count > 1 && !fetched)) return E_INVALIDARG;
    const auto& f = Formats();
    const UINT formats[kCount] = {f.Own, CF_TEXT, f.FileGroupDescriptor, f.FileContents};
    ULONG copied = 0;
    while (copied < count && FIndex < kCount) {
        items[copied] = FORMATETC{static_cast<CLIPFORMAT>(formats[FIndex]), nullptr, DVASPECT_CONTENT, -1,
                                  TYMED_HGLOBAL};
        ++copied;
        ++FIndex;
    }
    if (fetched) *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT THexEnumFormatETC::Skip(ULONG count) {
    if (count >= kCount - FIndex) return S_FALSE;
    FIndex += count;
    return S_OK;
}

HRESULT THexEnumFormatETC::Reset() {
    FIndex = 0;
    return S_OK;
}

HRESULT THexEnumFormatETC::Clone(IEnumFORMATETC** enumerator) {
    if (!enumerator) return E_INVALIDARG;
    try {
        // A clone continues from the same place, as enumerator clones must.
        *enumerator = new THexEnumFormatETC(FIndex);
    } catch (...) {
        *enumerator = nullptr;
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

// ---- Drop source --------------------------------------------------------------------------

HRESULT THexDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    if (!(keyState & MK_LBUTTON)) return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT THexDropSource::GiveFeedback(DWORD effect) {
    return (effect & 7) < 3 ? DRAGDROP_S_USEDEFAULTCURSORS : E_INVALIDARG;
}

// ---- Reader of another object's formats --------------------------------------------------

TFormatEnum::TFormatEnum(IDataObject* data) {
    if (!data) return;
    IEnumFORMATETC* e = nullptr;
    if (FAILED(data->EnumFormatEtc(DATADIR_GET, &e)) || !e) return;
    FORMATETC item;
    ULONG fetched = 0;
    while (e->Next(1, &item, &fetched) == S_OK && fetched == 1) {
        FItems.push_back(item);
        fetched = 0;
    }
    e->Release();
}

TFormatEnum::~TFormatEnum() {
    for (FORMATETC& f : FItems)
        if (f.ptd) CoTaskMemFree(f.ptd);
}

bool TFormatEnum::HasFormat(WORD format) const {
    return std::any_of(FItems.begin(), FItems.end(), [&](const FORMATETC& f) { return f.cfFormat == format; });
}

bool TFormatEnum::GetFormatEtc(WORD format, FORMATETC& out) const {
    for (const FORMATETC& f : FItems) {
        if (f.cfFormat == format) {
            out = f;
            return true;
        }
    }
    std::memset(&out, 0xFF, sizeof(out));
    return false;
}

}  // namespace hexedit
