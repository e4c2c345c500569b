// The half-transparent picture that follows the mouse while nodes or columns are dragged,
// and the row blending routines over 32-bit DIB sections it is made with.
//
// TGTDragImage draws straight onto the screen: it keeps a copy of the screen under the
// picture, blends the picture onto that copy and, on every move, restores what it uncovered
// and samples what it now covers. Where drawing on the screen does not show (a display
// that keeps windows apart), the same composed picture goes to a topmost layered popup
// that ignores the mouse. When an OLE drag offers the system's drag-image service, the
// picture is handed to the system instead and this object never becomes visible.
// Main thread only.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <cstdint>
#include <vector>

#include "classlib/gdiguards.h"
#include "classlib/graphics.h"

namespace gridtree {

class TBaseGridTree;

enum TAlphaBlendKind { abConstant, abPerPixel, abMaster, abColor };

// Blends rows of the bitmap selected into Source onto the one selected into Destination:
// rectangle R of the source to Target in the destination (abColor: R of the destination
// with the colour 0x00BBGGRR passed in Bias). Both must hold 32-bit DIB sections
// (EGridTreeAssertion otherwise).
void BlendBits(HDC Source, HDC Destination, const RECT& R, POINT Target, TAlphaBlendKind Kind, int ConstantAlpha,
               int Bias);
// The pixels of the DIB section selected into DC, with its width and (signed) height.
void* BitmapBitsOf(HDC DC, int& Width, int& Height);
// Row Row of such pixels (bottom-up for a positive height).
void* ScanlineOf(void* Bits, int Width, int Height, int Row);
// One blended row: Count pixels of Source onto Destination (Source unused with abColor).
void BlendRow(const uint32_t* Source, uint32_t* Destination, int Count, TAlphaBlendKind Kind, int ConstantAlpha,
              int Bias);
// Every blend can run: the processor has the vector instructions it is written for.
bool HasMMX();

// A strip of a picture: x, y, width and height.
struct TStrip {
    int X = 0, Y = 0, W = 0, H = 0;
};
// How a picture of Width x Height moved by (DeltaX, DeltaY) (old minus new position)
// splits: the kept background, the strips to restore on the side it leaves (Put, old
// coordinates) and to sample on the side it enters (Take, new coordinates), the corner
// counted once.
void SplitMoveStrips(int Width, int Height, int DeltaX, int DeltaY, RECT& ClipRect, RECT& KeepRect, TStrip& TakeA,
                     TStrip& TakeB, TStrip& PutA, TStrip& PutB);

using TGTDragImageStates = uint8_t;
enum TGTDragImageState : uint8_t { distHidden = 1, distInDrag = 2, distPrepared = 4, distSystemSupport = 8 };
enum TGTDragMoveRestriction { dmlNone, dmlHorizontal, dmlVertical };

class TGTDragImage {
public:
    explicit TGTDragImage(TBaseGridTree* Owner) : FOwner(Owner) {}
    ~TGTDragImage();
    TGTDragImage(const TGTDragImage&) = delete;
    TGTDragImage& operator=(const TGTDragImage&) = delete;

    // Prepares the picture (its top-left corner at ImagePos, the mouse at HotSpot, both in
    // screen coordinates); with a data object the system's image service is tried first.
    void BeginPicture(HBITMAP Picture, POINT ImagePos, POINT HotSpot, IDataObject* DataObject);
    void ShowPicture();
    void HidePicture();
    void FinishPicture();
    // Follows the mouse to P (screen); True when it moved (or ForceRepaint).
    bool MovePicture(POINT P, bool ForceRepaint);
    bool WouldMove(POINT P) const;
    RECT PictureRect() const;
    bool PictureVisible() const { return (FStates & (distHidden | distInDrag | distPrepared | distSystemSupport)) ==
                                         (distInDrag | distPrepared); }
    // Repaints the part of the saved background that lies under tree area R (client
    // coordinates), limited to VisibleRegion (screen coordinates, may be null).
    void RecaptureUnderPicture(TBaseGridTree* Tree, RECT R, HRGN VisibleRegion, bool CaptureNonClient, bool Reshow);

    TGTDragImageStates States() const { return FStates; }
    uint8_t Opacity() const { return FOpacity; }
    void SetOpacity(uint8_t Value) { FOpacity = Value; }
    int8_t InitialBias() const { return FInitialBias; }
    void SetInitialBias(int8_t Value) { FInitialBias = Value; }
    int8_t ShowBias() const { return FShowBias; }
    void SetShowBias(int8_t Value) { FShowBias = Value; }
    bool RadialFade() const { return FRadialFade; }
    void SetRadialFade(bool Value) { FRadialFade = Value; }
    TGTDragMoveRestriction MoveRestriction() const { return FMoveRestriction; }
    void SetMoveRestriction(TGTDragMoveRestriction Value) { FMoveRestriction = Value; }
    // Pixels of this colour are fully transparent; clNone for none.
    classlib::TColor KeyColor() const { return FKeyColor; }
    void SetKeyColor(classlib::TColor Value) { FKeyColor = Value; }
    POINT PicturePos() const { return FPicturePos; }
    // The prepared picture with its alpha channel, and the background kept under it.
    const classlib::TBitmap& PreparedPicture() const { return FPreparedPicture; }
    const classlib::TBitmap& SavedScreen() const { return FSavedScreen; }
    // The picture goes to a layered popup instead of the screen.
    bool UsesPopup() const { return FPopup != nullptr; }

private:
    void MakeAlphaChannel(const std::vector<uint32_t>& Source);
    void InternalShowPicture();
    void Sample(const RECT& Screen, POINT Into);
    void Restore(const RECT& From, POINT ScreenAt);
    bool ScreenDrawingShows();
    void CreatePopup();
    void DestroyPopup();

    TBaseGridTree* FOwner;
    classlib::TBitmap FPreparedPicture, FCompositeBuffer, FSavedScreen;
    POINT FPicturePos{};
    POINT FLastMousePos{};
    TGTDragImageStates FStates = 0;
    uint8_t FOpacity = 128;
    int8_t FInitialBias = 0;
    int8_t FShowBias = 0;
    bool FRadialFade = false;
    TGTDragMoveRestriction FMoveRestriction = dmlNone;
    classlib::TColor FKeyColor = classlib::clNone;
    int FWidth = 0, FHeight = 0;
    HWND FPopup = nullptr;
    bool FProbed = false;
};

}  // namespace gridtree
