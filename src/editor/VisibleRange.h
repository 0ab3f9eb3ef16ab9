#pragma once

#include "editor/Ranges.h"

namespace kelvara {

// The part of the text on screen: rows from TopRow, display columns from
// LeftCol. Its offsets follow from those two; it is not adjusted by edits.
class TVisibleRange : public TCustomRange {
public:
    explicit TVisibleRange(TMCRanges* ranges) : TCustomRange(ranges) {}

    int TopRow() const noexcept { return topRow_; }
    int LeftCol() const noexcept { return leftCol_; }
    // Scrolls (inside a bracket, clamped to the text).
    void SetTopRow(int value);
    void SetLeftCol(int value);
    // Writes without a bracket or clamping; the caller repaints.
    void WriteTopRow(int value) noexcept { topRow_ = value; }
    void WriteLeftCol(int value) noexcept { leftCol_ = value; }
    int BottomRow() const;
    void SetBottomRow(int value);
    int RightCol() const;
    void SetRightCol(int value);

    int GetRStart() const override;
    int GetREnd() const override;
    TextPoint GetStartPoint() const override { return {topRow_, 1}; }
    TextPoint GetEndPoint() const override;
    void SetStartPoint(TextPoint point) override { SetTopRow(point.Row); }
    void SetRStart(int value) override;
    void SetREnd(int) override {}
    void SetRLength(int) override {}
    void SetEndPoint(TextPoint) override {}

protected:
    void Changing() override;
    void Changed() override;

private:
    TRect Rectangle() const;
    void RepaintRows(int firstRow, int lastRow);

    int topRow_ = 1;
    int leftCol_ = 1;
    TRect saved_;
};

} // namespace kelvara
