#pragma once

#include <memory>

#include "editor/Ranges.h"

namespace kelvara {

// The selection, which carries the caret: empty, it is a caret before RStart;
// otherwise the caret is at one end (RStart when Backwards, else REnd + 1)
// and the anchor at the other.
class TSelectionRange : public TMCRange {
public:
    explicit TSelectionRange(TMCRanges* ranges) : TMCRange(ranges) {}

    int CaretPos() const { return backwards_ ? RStart() : REnd() + 1; }
    void MoveTo(int position);
    // Moves the caret end to `position`, keeping the anchor.
    void ExtendTo(int position);
    // The display column kept for vertical movement.
    int DesiredColumn();
    void SetDesiredColumn(int value) noexcept { desiredColumn_ = value; }
    // Offset on `row` at the desired column.
    int ColumnOnRow(int row);

    bool Backwards() const noexcept { return backwards_; }
    void SetBackwards(bool value) noexcept { backwards_ = value; }
    bool Hidden() const noexcept { return hidden_; }
    void SetHidden(bool value);
    bool CaretShown() const noexcept { return caretShown_; }

    void AssignTo(TCustomRange& dest) const override;

    void HideEditCaret();
    void UpdateCaretVisibility();
    void UpdateCaretPos();
    // Forgets the copy taken when the bracket opened: the caller repaints.
    void DropSnapshot() noexcept { snapshot_.reset(); }

protected:
    void Changing() override;
    void Changed() override;
    void ChangeDropped() override;

private:
    void RepaintDifference(TMCRange& old);

    std::unique_ptr<TMCRange> snapshot_;
    bool backwards_ = false;
    bool hidden_ = false;
    bool caretShown_ = false;
    int desiredColumn_ = -1;
};

} // namespace kelvara
