// Undo history of one hex editor: a queue of step records and one level of redo.
//
// Each step keeps what reverses one edit (the bytes the edit destroyed) and the editor's
// view state just before it. Every step has a byte size counted exactly like the fixed
// record layout of the history (29-byte head, D data bytes, optional description and its
// length, optional 12-byte selection, 4-byte trailing size), and the editor's `MaxUndo`
// budget drops the oldest steps by that size, so the same steps go as with a packed stream.
// Steps live in a deque: recording appends, undoing pops, dropping the oldest is O(1).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace hexedit {

class TCustomHexEditor;

// Flag bits of a step.
enum : uint32_t {
    ufChanged1 = 1u << 11,     // byte at Pos carried a change mark
    ufChanged2 = 1u << 12,     // byte at Pos+1 carried a change mark
    ufModified = 1u << 13,
    ufSecondDigit = 1u << 14,  // caret on the second digit of its byte
    ufCharField = 1u << 15,
    ufSelection = 1u << 16,    // the selection triple is present
    ufInsertMode = 1u << 17,
    ufUnicode = 1u << 18,
    ufBigEndian = 1u << 19,
    ufDescription = 1u << 20,  // the caller's description is present
};

// Step kinds, as stored in the low flag bits.
enum THexUndoKind : uint8_t {
    ukChangeBytes = 0, ukRemove = 1, ukInsert = 2, ukReplace = 3, ukAppend = 4, ukInsertNibble = 5,
    ukDeleteNibble = 6, ukConvert = 7, ukCursorMove = 8, ukMultiple = 9, ukAllSaved = 10
};
const wchar_t* UndoKindDescription(int kind);

struct THexBookmark {
    int Pos = -1;  // -1: unset
    bool InCharField = false;
};
using THexBookmarks = std::array<THexBookmark, 10>;

struct THexUndoStep {
    uint32_t Flags = 0;
    int32_t CaretPos = 0;
    int32_t Pos = 0;
    int32_t Count = 0;
    int32_t ReplCount = 0;
    uint8_t Translation = 0;
    int32_t BytesPerUnit = 1;
    uint32_t DataSize = 1;      // D of the record layout
    std::vector<uint8_t> Data;  // the saved bytes (kinds without data save none)
    std::wstring Description;   // present with ufDescription
    uint32_t DescriptionBytes = 0;  // its length as stored (ANSI bytes)
    int32_t SelStart = -1, SelEnd = -1, SelAnchor = -1;  // present with ufSelection

    int Kind() const;
    // Record size in the history's byte layout.
    uint32_t RecordSize() const;
};

class THexUndoStorage {
public:
    explicit THexUndoStorage(TCustomHexEditor& editor);

    int BeginUpdate() { return ++FUpdateLevel; }
    int EndUpdate() { return FUpdateLevel = FUpdateLevel > 0 ? FUpdateLevel - 1 : 0; }
    int UpdateLevel() const { return FUpdateLevel; }
    int StepCount() const { return static_cast<int>(FSteps.size()); }
    // Bytes of the history in the record layout (the sum of the steps' record sizes).
    long long Size() const { return FSize; }
    const std::wstring& TopDescription() const { return FTopDescription; }
    const THexUndoStep* Newest() const { return FSteps.empty() ? nullptr : &FSteps.back(); }

    // Records one step before an edit. Nothing while inside an update.
    void AddStep(int kind, int pos, int count, int replCount, const std::wstring& description);
    // Gives the newest step a caret and selection to restore (start .. start+count-1).
    void SetStepSelection(int start, int count);

    bool CanUndo() const { return !FSteps.empty() && FUpdateLevel < 1 && FSize > 0; }
    bool CanRedo() const { return FRedo != nullptr; }
    void Undo();
    bool Redo();
    void Reset(bool dropRedoToo);
    void DropRedo();

private:
    struct TRedoBlock {
        THexUndoStep Step;
        THexBookmarks Bookmarks;
        int SelStart = -1, SelEnd = -1, SelAnchor = -1;
    };

    void DropOldest();
    std::unique_ptr<THexUndoStep> PopStep();
    void UpdateTopDescription();
    void BuildRedo(const THexUndoStep& step);
    void Apply(const THexUndoStep& step);
    void UndoCombined(int count);

    TCustomHexEditor& FEditor;
    std::deque<THexUndoStep> FSteps;
    long long FSize = 0;
    int FUpdateLevel = 0;
    std::wstring FTopDescription;
    std::unique_ptr<TRedoBlock> FRedo;
    std::unique_ptr<THexUndoStep> FPoppedStep;
    std::wstring FPoppedDescription;
};

}  // namespace hexedit
