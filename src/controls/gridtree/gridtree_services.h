// Services shared by all grid trees: the worker thread that builds position caches, the
// one-time unit initialisation, text buffers and small routines.
//
// The worker exists from the first tree's construction to the last tree's destruction
// (`AcquireWorker`/`ReleaseWorker`, called by the tree). It sleeps on its work event and
// validates one queued tree at a time: a tree counts as "in work" from the moment the
// worker takes it off the queue until it has sent the final state change, and
// `InterruptValidation` waits for exactly that, on an event the worker sets when it lets
// go of the tree (no time-outs). While waiting, the tree's thread serves only sent
// messages (the worker's WM_CHANGESTATE), never posted, paint, timer or input messages,
// and never removes WM_QUIT.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "classlib/imagelist.h"
#include "controls/gridtree/gridtree_paint.h"

namespace gridtree {

class TBaseGridTree;

class TWorkerThread {
public:
    TWorkerThread();
    ~TWorkerThread();  // ends the thread and waits for it
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Adds the tree to the queue (at most once); the tree leaves tsStopValidation. Call on
    // the tree's thread, then `Signal`.
    void QueueTree(TBaseGridTree* Tree);
    void UnqueueTree(TBaseGridTree* Tree);
    void Signal();
    // True while the worker holds the tree (taken off the queue, final message not sent).
    bool IsInWork(TBaseGridTree* Tree);
    // Waits until the worker no longer holds the tree, serving sent messages meanwhile.
    void WaitWhileInWork(TBaseGridTree* Tree);

    int TreeCount = 0;

private:
    void Execute();
    // Sends WM_CHANGESTATE and waits until the tree's thread applied it; the answer 1 means
    // the tree refused to start a validation because it was told to stop.
    LRESULT SendStateChange(TBaseGridTree* Tree, unsigned Enter, unsigned Leave);

    std::mutex FLock;
    std::deque<TBaseGridTree*> FPendingTrees;
    TBaseGridTree* FTreeInWork = nullptr;
    // Lets go of the tree in work and wakes the threads waiting for it.
    void ReleaseTreeInWork();

    // A thread waiting until the worker lets go of a tree, with the event that wakes it.
    struct TWaiter {
        TBaseGridTree* Tree;
        HANDLE Event;
    };
    std::vector<TWaiter> FWaiters;  // under FLock
    HANDLE FWorkSignal = nullptr;  // automatic reset: one wake-up per job
    HANDLE FExited = nullptr;      // set when Execute has returned (manual reset)
    bool FTerminated = false;
    std::thread FThread;
};

// The shared worker, or nullptr when no tree exists.
TWorkerThread* SharedWorker();
// Called by every tree constructor: creates the worker on the first call.
TWorkerThread* AcquireWorker();
// Called by every tree destructor (after the tree interrupted its own validation): ends
// the worker when the last tree goes.
void ReleaseWorker(TBaseGridTree* Tree);

// The pictures every tree shares: the built-in check image lists, the utility images
// (drop marks, sort marks, the header's hot strip) and the header split cursor, registered
// as the screen's cursor crHeaderSplit. Made by the application object on first use
// (TreePictures) and destroyed with it; main thread only.
class TTreePictures {
public:
    TTreePictures();
    ~TTreePictures();
    TTreePictures(const TTreePictures&) = delete;
    TTreePictures& operator=(const TTreePictures&) = delete;

    // The built-in list of a kind; nullptr for ckCustom.
    classlib::TImageList* CheckImages(TCheckImageKind Kind);
    // Utility images, 16 x 16: 0 drop mark at a left edge, 1 at a right edge, 2 and 3 sort
    // marks descending and ascending, 4 and 5 the same for themed headers, 6, 7 and 8 the
    // left end, middle and right end of the hot strip.
    classlib::TImageList& Utilities() { return *FUtilities; }
    // Loads every list again with the current system colours.
    void Reload();

private:
    std::unique_ptr<classlib::TImageList> FCheck[6];  // light, dark, light tick, dark tick, flat, XP
    std::unique_ptr<classlib::TImageList> FSystem, FSystemFlat;
    std::unique_ptr<classlib::TImageList> FUtilities;
};

// The shared pictures, or nullptr without an application object.
TTreePictures* TreePictures();
// The number of the header split cursor in the screen's cursors.
constexpr int crHeaderSplit = 100;
// The module whose resources hold the tree's pictures (the program's by default).
HINSTANCE TreeResourceModule();
void SetTreeResourceModule(HINSTANCE Module);
// Loads a bitmap strip resource into a list of square images as high as the strip, each
// transparent where it has the colour of the strip's top-left pixel. MapColours replaces
// white, silver, grey and black by the window, face, shadow and text colours. A missing or
// empty resource raises EGridTreeAssertion.
void LoadImageStrip(classlib::TImageList& List, const wchar_t* ResourceName, bool MapColours);

// One-time initialisation of the tree unit (the first tree's constructor runs it).
void InitializeTreeUnit();
bool TreeUnitInitialised();
// The clipboard format "Grid Tree Reference", registered by the unit's initialisation.
UINT TreeReferenceClipboardFormat();

// Growable UTF-16 text block for exports: grows in steps of 4096 characters. It owns its
// block: it can be moved (the source is left empty) but not copied.
class TWideBufferedString {
public:
    TWideBufferedString() = default;
    TWideBufferedString(TWideBufferedString&& Other) noexcept { *this = std::move(Other); }
    TWideBufferedString& operator=(TWideBufferedString&& Other) noexcept;
    TWideBufferedString(const TWideBufferedString&) = delete;
    TWideBufferedString& operator=(const TWideBufferedString&) = delete;

    void Append(const std::wstring& S);
    void AppendLineBreak();
    std::wstring BufferText() const { return std::wstring(FBlock.get() ? FBlock.get() : L"", FUsed); }
    size_t Capacity() const { return FCapacity; }

private:
    void Grow();
    std::unique_ptr<wchar_t[]> FBlock;
    size_t FUsed = 0;
    size_t FCapacity = 0;
};

// The same rectangle with Left <= Right and Top <= Bottom.
RECT NormalizedRect(const RECT& R);

// Shortens S to fit Width pixels in the DC's font, with "..." at the end (or, right to
// left, at the start). EllipsisWidth 0 means the measured width of "...". A character is
// at least one pixel wide, so at most Width characters of S are ever measured: a huge text
// costs no more than one that just overflows.
std::wstring EllipsizeText(HDC DC, const std::wstring& S, int Width, int EllipsisWidth, bool RightToLeft);

// Blends Color with Alpha (0..255) over R of a 32-bit top-down DIB section (pixel
// coordinates, cut to the bitmap).
void AlphaBlendRect(HBITMAP Bitmap, RECT R, COLORREF Color, int Alpha);

}  // namespace gridtree
