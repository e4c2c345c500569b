#include "controls/gridtree/gridtree_services.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <ole2.h>
#include <mmsystem.h>

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "classlib/screen.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_dataobject.h"

namespace gridtree {

namespace {
std::mutex GWorkerLock;
TWorkerThread* GSharedWorker = nullptr;
bool GTreeUnitInitialised = false;
}  // namespace

void RaiseTreeError(const std::wstring& Msg, int HelpContext) { throw EGridTreeError(Msg, HelpContext); }

TBaseGridTree* OwningTree(PGridNode Node) {
    if (!Node) throw EGridTreeAssertion(L"Node must not be nil.");
    while (Node->NextSiblingNode != Node) Node = Node->Parent;
    return reinterpret_cast<TBaseGridTree*>(Node->Parent);
}

namespace {
UINT GTreeReferenceFormat = 0;
}  // namespace

void InitializeTreeUnit() {
    // OLE and the 1 ms timer resolution belong to the application's process setup; the
    // pictures are the application's process object TTreePictures, made on first use.
    if (GTreeUnitInitialised) return;
    GTreeUnitInitialised = true;
    GTreeReferenceFormat = RegisterClipboardFormatW(L"Grid Tree Reference");
    RegisterStandardTreeFormats();
}

UINT TreeReferenceClipboardFormat() { return GTreeReferenceFormat; }

bool TreeUnitInitialised() { return GTreeUnitInitialised; }

// --- pictures -------------------------------------------------------------------------

namespace {
HINSTANCE GResourceModule = nullptr;

// 0x00BBGGRR as the 0x00RRGGBB of a 32-bit DIB pixel.
uint32_t DibPixel(COLORREF C) { return (GetRValue(C) << 16) | (GetGValue(C) << 8) | GetBValue(C); }
}  // namespace

HINSTANCE TreeResourceModule() { return GResourceModule ? GResourceModule : GetModuleHandleW(nullptr); }

void SetTreeResourceModule(HINSTANCE Module) { GResourceModule = Module; }

void LoadImageStrip(classlib::TImageList& List, const wchar_t* ResourceName, bool MapColours) {
    auto missing = [&] {
        return EGridTreeAssertion(L"Internal image \"" + std::wstring(ResourceName) + L"\" is missing or corrupt.");
    };
    classlib::TGdiObject<HBITMAP> loaded(static_cast<HBITMAP>(
        LoadImageW(TreeResourceModule(), ResourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (!loaded || !GetObjectW(loaded.Handle(), sizeof(info), &info) || info.bmHeight == 0 || info.bmWidth <= 0)
        throw missing();
    const int width = info.bmWidth, height = std::abs(info.bmHeight);
    classlib::TBitmap strip(width, height, classlib::pf32bit);
    {
        classlib::TMemoryDC source;
        classlib::TSelectedObject picture(source.Handle(), loaded.Handle());
        BitBlt(strip.Canvas().Handle(), 0, 0, width, height, source.Handle(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    if (MapColours) {
        const struct {
            uint32_t From, To;
        } map[] = {{0xFFFFFF, DibPixel(classlib::ColorToRGB(classlib::clWindow))},
                   {0xC0C0C0, DibPixel(classlib::ColorToRGB(classlib::clBtnFace))},
                   {0x808080, DibPixel(classlib::ColorToRGB(classlib::clBtnShadow))},
                   {0x000000, DibPixel(classlib::ColorToRGB(classlib::clBtnText))}};
        for (int y = 0; y < height; ++y) {
            auto* row = static_cast<uint32_t*>(strip.ScanLine(y));
            for (int x = 0; x < width; ++x) {
                const uint32_t p = row[x] & 0xFFFFFF;
                for (const auto& m : map)
                    if (p == m.From) {
                        row[x] = m.To;
                        break;
                    }
            }
        }
    }
    const uint32_t corner = static_cast<uint32_t*>(strip.ScanLine(0))[0] & 0xFFFFFF;
    const classlib::TColor transparent = classlib::TColor(RGB((corner >> 16) & 0xFF, (corner >> 8) & 0xFF, corner & 0xFF));
    List.BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { List.EndUpdate(); });
    List.Clear();
    List.SetSize(height, height);
    List.AddStrip(strip, transparent);
}

namespace {
// The check images drawn by the system: image 0 empty, 1 to 20 radio buttons and check
// boxes in their states, 21 to 24 the push buttons of the drawn set `Buttons`.
void DrawSystemCheckImages(classlib::TImageList& List, bool Flat, classlib::TImageList* Buttons) {
    const int w = GetSystemMetrics(SM_CXMENUCHECK) + 3, h = GetSystemMetrics(SM_CYMENUCHECK) + 3;
    const COLORREF mask = RGB(255, 0, 0);
    List.BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { List.EndUpdate(); });
    List.Clear();
    List.SetSize(w, h);
    // The 25 images side by side in one strip, each drawn with the origin at its own cell.
    constexpr int Count = 25;
    classlib::TBitmap strip(w * Count, h, classlib::pf32bit);
    HDC dc = strip.Canvas().Handle();
    RECT all{0, 0, w * Count, h};
    FillRect(dc, &all, classlib::TGdiObject<HBRUSH>(CreateSolidBrush(mask)).Handle());
    int cell = 0;
    auto add = [&](auto&& Draw) {
        SetViewportOrgEx(dc, w * cell++, 0, nullptr);
        Draw(dc);
    };
    add([](HDC) {});
    for (int i = 0; i < 20; ++i) {
        add([&](HDC dc) {
            UINT state = i <= 7 ? DFCS_BUTTONRADIO : i >= 16 ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK;
            if ((i >= 4 && i <= 7) || i >= 12) state |= DFCS_CHECKED;
            switch (i % 4) {
                case 1: state |= DFCS_HOT; break;
                case 2: state |= DFCS_PUSHED; break;
                case 3: state |= DFCS_INACTIVE; break;
                default: break;
            }
            if (Flat) state |= DFCS_FLAT;
            RECT r{1, 2, w - 2, h - 1};
            DrawFrameControl(dc, &r, DFC_BUTTON, state);
        });
    }
    for (int i = 21; i <= 24; ++i) {
        add([&](HDC dc) {
            if (Buttons && i < Buttons->Count())
                ImageList_Draw(Buttons->Handle(), i, dc, (w - Buttons->Width()) / 2, (h - Buttons->Height()) / 2,
                               ILD_TRANSPARENT);
        });
    }
    SetViewportOrgEx(dc, 0, 0, nullptr);
    List.AddStrip(strip, classlib::TColor(mask));
}
}  // namespace

TTreePictures::TTreePictures() {
    for (auto& list : FCheck) list = std::make_unique<classlib::TImageList>(nullptr);
    FSystem = std::make_unique<classlib::TImageList>(nullptr);
    FSystemFlat = std::make_unique<classlib::TImageList>(nullptr);
    FUtilities = std::make_unique<classlib::TImageList>(nullptr);
    Reload();
    if (classlib::Screen) {
        HCURSOR split = static_cast<HCURSOR>(LoadImageW(TreeResourceModule(), L"GT_HEADERSPLIT", IMAGE_CURSOR, 0, 0, 0));
        if (!split) split = static_cast<HCURSOR>(CopyImage(LoadCursorW(nullptr, IDC_SIZEWE), IMAGE_CURSOR, 0, 0, 0));
        classlib::Screen->SetCursors(crHeaderSplit, split);
    }
}

TTreePictures::~TTreePictures() = default;

void TTreePictures::Reload() {
    // A missing picture leaves its list empty: painting then draws no such image.
    auto load = [](classlib::TImageList& List, const wchar_t* Name, bool Map) {
        try {
            LoadImageStrip(List, Name, Map);
        } catch (const EGridTreeAssertion&) {
            List.Clear();
        }
    };
    load(*FCheck[0], L"GT_CHECK_LIGHT", true);
    load(*FCheck[1], L"GT_CHECK_DARK", true);
    load(*FCheck[2], L"GT_TICK_LIGHT", true);
    load(*FCheck[3], L"GT_TICK_DARK", true);
    load(*FCheck[4], L"GT_FLAT", true);
    load(*FCheck[5], L"GT_XP", false);
    load(*FUtilities, L"GT_UTILITIES", true);
    DrawSystemCheckImages(*FSystem, false, FCheck[1].get());
    DrawSystemCheckImages(*FSystemFlat, true, FCheck[4].get());
}

classlib::TImageList* TTreePictures::CheckImages(TCheckImageKind Kind) {
    switch (Kind) {
        case ckLightCheck: return FCheck[0].get();
        case ckDarkCheck: return FCheck[1].get();
        case ckLightTick: return FCheck[2].get();
        case ckDarkTick: return FCheck[3].get();
        case ckFlat: return FCheck[4].get();
        case ckXP: return FCheck[5].get();
        case ckSystem: return FSystem.get();
        case ckSystemFlat: return FSystemFlat.get();
        default: return nullptr;
    }
}

TTreePictures* TreePictures() {
    if (!classlib::Application) return nullptr;
    return &classlib::Application->ProcessObject<TTreePictures>();
}

// --- worker ---------------------------------------------------------------------------

TWorkerThread::TWorkerThread() {
    FWorkSignal = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    FExited = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!FWorkSignal || !FExited) {
        DWORD err = GetLastError();
        if (FWorkSignal) CloseHandle(FWorkSignal);
        if (FExited) CloseHandle(FExited);
        throw classlib::EOSError(L"System error " + std::to_wstring(err), 0);
    }
    FThread = std::thread([this] {
        struct SignalExit {
            HANDLE Event;
            ~SignalExit() { SetEvent(Event); }
        } signal{FExited};
        Execute();
    });
}

TWorkerThread::~TWorkerThread() {
    {
        std::lock_guard<std::mutex> lock(FLock);
        FTerminated = true;
    }
    SetEvent(FWorkSignal);
    // The worker may be inside a SendMessage to a tree window of this thread (a job it took
    // just as the last tree let go): serve sent messages until it has left Execute, or the
    // two threads would wait for each other.
    while (WaitForSingleObject(FExited, 0) == WAIT_TIMEOUT) {
        MsgWaitForMultipleObjectsEx(1, &FExited, INFINITE, QS_SENDMESSAGE, 0);
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (FThread.joinable()) FThread.join();
    CloseHandle(FWorkSignal);
    CloseHandle(FExited);
}

void TWorkerThread::QueueTree(TBaseGridTree* Tree) {
    if (!Tree) throw EGridTreeAssertion(L"Tree must not be nil.");
    Tree->DoStateChange(0, tsStopValidation);
    std::lock_guard<std::mutex> lock(FLock);
    Tree->FWithWorker.store(true);
    if (std::find(FPendingTrees.begin(), FPendingTrees.end(), Tree) == FPendingTrees.end())
        FPendingTrees.push_back(Tree);
}

void TWorkerThread::UnqueueTree(TBaseGridTree* Tree) {
    if (!Tree) throw EGridTreeAssertion(L"Tree must not be nil.");
    std::lock_guard<std::mutex> lock(FLock);
    FPendingTrees.erase(std::remove(FPendingTrees.begin(), FPendingTrees.end(), Tree), FPendingTrees.end());
    Tree->FWithWorker.store(FTreeInWork == Tree);
}

void TWorkerThread::Signal() { SetEvent(FWorkSignal); }

bool TWorkerThread::IsInWork(TBaseGridTree* Tree) {
    std::lock_guard<std::mutex> lock(FLock);
    return FTreeInWork == Tree;
}

void TWorkerThread::WaitWhileInWork(TBaseGridTree* Tree) {
    if (!IsInWork(Tree)) return;
    // This wait's own event: a release is never lost to a wait for another tree, also when
    // several threads wait at once. Registered under the lock the worker releases under,
    // and the condition is checked after that, so no release can slip in between.
    HANDLE released = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!released) throw classlib::EOSError(L"System error " + std::to_wstring(GetLastError()), 0);
    {
        std::lock_guard<std::mutex> lock(FLock);
        FWaiters.push_back({Tree, released});
    }
    struct TRegistration {
        TWorkerThread* Worker;
        HANDLE Event;
        ~TRegistration() {
            {
                std::lock_guard<std::mutex> lock(Worker->FLock);
                auto& waiters = Worker->FWaiters;
                waiters.erase(std::remove_if(waiters.begin(), waiters.end(),
                                             [this](const TWaiter& w) { return w.Event == Event; }),
                              waiters.end());
            }
            CloseHandle(Event);
        }
    } registration{this, released};
    while (IsInWork(Tree)) {
        // Wake for the release or for a message sent to this thread (the worker's state
        // change that it waits to have applied).
        MsgWaitForMultipleObjectsEx(1, &released, INFINITE, QS_SENDMESSAGE, 0);
        MSG msg;
        // Dispatches pending sent messages; nothing is removed from the posted queue.
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void TWorkerThread::ReleaseTreeInWork() {
    std::lock_guard<std::mutex> lock(FLock);
    for (const TWaiter& waiter : FWaiters)
        if (waiter.Tree == FTreeInWork) SetEvent(waiter.Event);
    if (FTreeInWork)
        FTreeInWork->FWithWorker.store(std::find(FPendingTrees.begin(), FPendingTrees.end(), FTreeInWork) !=
                                       FPendingTrees.end());
    FTreeInWork = nullptr;
}

LRESULT TWorkerThread::SendStateChange(TBaseGridTree* Tree, unsigned Enter, unsigned Leave) {
    HWND wnd = Tree->MessageWindow();
    return wnd ? SendMessageW(wnd, WM_CHANGESTATE, Enter, Leave) : 0;
}

void TWorkerThread::Execute() {
    for (;;) {
        WaitForSingleObject(FWorkSignal, INFINITE);
        TBaseGridTree* tree = nullptr;
        {
            std::lock_guard<std::mutex> lock(FLock);
            if (FTerminated) return;
            if (!FPendingTrees.empty()) {
                tree = FPendingTrees.front();
                FPendingTrees.pop_front();
                if (!FPendingTrees.empty()) SetEvent(FWorkSignal);
                // From here the tree is in work: its destructor and every structural change
                // wait until it is released below.
                FTreeInWork = tree;
                tree->FJobGeneration.store(tree->FGeneration.load());
                tree->FCacheComplete.store(false);
            }
        }
        if (!tree) continue;

        // A tree interrupted between being taken and this point needs no messages at all.
        if (!(tree->TreeStates() & tsStopValidation)) {
            unsigned entered = 0;
            bool refused = false;
            try {
                refused = SendStateChange(tree, 4, 2) == 1;
                if (!refused && !(tree->TreeStates() & tsStopValidation) && tree->DoValidateCache()) {
                    tree->FCacheComplete.store(true);
                    entered = 2;
                }
            } catch (...) {
                // The validation's failure only means no cache; the states are left below.
            }
            if (!refused) SendStateChange(tree, entered, 5 | (entered == 2 ? 8u : 0u));
        }
        ReleaseTreeInWork();
    }
}

TWorkerThread* SharedWorker() {
    std::lock_guard<std::mutex> lock(GWorkerLock);
    return GSharedWorker;
}

TWorkerThread* AcquireWorker() {
    std::lock_guard<std::mutex> lock(GWorkerLock);
    if (!GSharedWorker) GSharedWorker = new TWorkerThread();
    ++GSharedWorker->TreeCount;
    return GSharedWorker;
}

void ReleaseWorker(TBaseGridTree* Tree) {
    (void)Tree;
    TWorkerThread* ending = nullptr;
    {
        std::lock_guard<std::mutex> lock(GWorkerLock);
        if (!GSharedWorker) return;
        if (--GSharedWorker->TreeCount == 0) {
            ending = GSharedWorker;
            GSharedWorker = nullptr;
        }
    }
    delete ending;
}

// --- text buffer ----------------------------------------------------------------------

TWideBufferedString& TWideBufferedString::operator=(TWideBufferedString&& Other) noexcept {
    if (this == &Other) return *this;
    FBlock = std::move(Other.FBlock);
    FUsed = std::exchange(Other.FUsed, 0);
    FCapacity = std::exchange(Other.FCapacity, 0);
    return *this;
}

void TWideBufferedString::Grow() {
    const size_t capacity = FCapacity + 4096;
    std::unique_ptr<wchar_t[]> block(new wchar_t[capacity]);
    if (FUsed) std::memcpy(block.get(), FBlock.get(), FUsed * sizeof(wchar_t));
    FBlock = std::move(block);
    FCapacity = capacity;
}

void TWideBufferedString::Append(const std::wstring& S) {
    while (S.size() >= FCapacity - FUsed) Grow();
    if (!S.empty()) std::memcpy(FBlock.get() + FUsed, S.data(), S.size() * sizeof(wchar_t));
    FUsed += S.size();
}

void TWideBufferedString::AppendLineBreak() {
    while (FCapacity - FUsed <= 4) Grow();
    FBlock[FUsed++] = L'\r';
    FBlock[FUsed++] = L'\n';
}

// --- routines -------------------------------------------------------------------------

RECT NormalizedRect(const RECT& R) {
    return RECT{std::min(R.left, R.right), std::min(R.top, R.bottom), std::max(R.left, R.right),
                std::max(R.top, R.bottom)};
}

namespace {
int TextWidth(HDC DC, const wchar_t* S, size_t Count) {
    SIZE size{};
    GetTextExtentPoint32W(DC, S, static_cast<int>(Count), &size);
    return size.cx;
}
}  // namespace

std::wstring EllipsizeText(HDC DC, const std::wstring& S, int Width, int EllipsisWidth, bool RightToLeft) {
    if (S.empty() || Width <= 0) return std::wstring();
    if (EllipsisWidth == 0) EllipsisWidth = TextWidth(DC, L"...", 3);
    if (EllipsisWidth >= Width) return std::wstring();
    auto highSurrogate = [](wchar_t C) { return C >= 0xD800 && C <= 0xDBFF; };
    auto lowSurrogate = [](wchar_t C) { return C >= 0xDC00 && C <= 0xDFFF; };
    // Every character takes at least one pixel: no more than Width of them can fit.
    if (S.size() > size_t(Width)) {
        size_t keep = size_t(Width);
        std::wstring cut;
        if (RightToLeft) {
            size_t from = S.size() - keep;
            if (lowSurrogate(S[from])) ++from;  // never half a pair
            cut = S.substr(from);
        } else {
            if (highSurrogate(S[keep - 1])) --keep;
            cut = S.substr(0, keep);
        }
        return EllipsizeText(DC, cut, Width, EllipsisWidth, RightToLeft);
    }
    int len = static_cast<int>(S.size());
    int L = 0, H = len - 1;
    if (!RightToLeft) {
        while (L < H) {
            int N = (L + H + 1) / 2;
            if (TextWidth(DC, S.data(), N) + EllipsisWidth > Width) H = N - 1;
            else L = N;
        }
        if (L > 0 && highSurrogate(S[size_t(L) - 1])) --L;
        return S.substr(0, size_t(L)) + L"...";
    }
    while (L < H) {
        int N = (L + H) / 2;
        if (TextWidth(DC, S.data() + N, len - N) + EllipsisWidth > Width) L = N + 1;
        else H = N;
    }
    if (L < len && lowSurrogate(S[size_t(L)])) ++L;
    return L"..." + S.substr(size_t(L));
}

void AlphaBlendRect(HBITMAP Bitmap, RECT R, COLORREF Color, int Alpha) {
    DIBSECTION dib{};
    if (!Bitmap || GetObjectW(Bitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBitsPixel != 32 ||
        !dib.dsBm.bmBits)
        return;
    const int width = dib.dsBm.bmWidth, height = std::abs(dib.dsBm.bmHeight);
    R.left = std::max<LONG>(R.left, 0);
    R.top = std::max<LONG>(R.top, 0);
    R.right = std::min<LONG>(R.right, width);
    R.bottom = std::min<LONG>(R.bottom, height);
    if (R.left >= R.right || R.top >= R.bottom) return;
    GdiFlush();
    Alpha = std::clamp(Alpha, 0, 255);
    const int r = GetRValue(Color), g = GetGValue(Color), b = GetBValue(Color);
    const bool bottomUp = dib.dsBm.bmHeight > 0 && dib.dsBmih.biHeight > 0;
    for (int y = R.top; y < R.bottom; ++y) {
        const int row = bottomUp ? height - 1 - y : y;
        auto* line = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(dib.dsBm.bmBits) + size_t(row) * dib.dsBm.bmWidthBytes);
        for (int x = R.left; x < R.right; ++x) {
            const uint32_t p = line[x];
            const int pr = (p >> 16) & 0xFF, pg = (p >> 8) & 0xFF, pb = p & 0xFF;
            const uint32_t nr = uint32_t(pr + (r - pr) * Alpha / 255), ng = uint32_t(pg + (g - pg) * Alpha / 255),
                           nb = uint32_t(pb + (b - pb) * Alpha / 255);
            line[x] = (nr << 16) | (ng << 8) | nb;
        }
    }
}

}  // namespace gridtree
