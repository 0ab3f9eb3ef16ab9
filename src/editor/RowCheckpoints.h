#pragma once

#include <vector>

namespace kelvara {

class TMemoComponent;

// Display widths along one long row: every few KB a character start and the
// display width before it, so that a column far into a 10 MB row is found by
// walking a few KB instead of the whole row. Kept up to date by edits inside
// the row; dropped by edits that join or split it.
class RowCheckpoints {
public:
    // Rows at least this long keep checkpoints; shorter ones are walked.
    static constexpr int kLongRow = 1 << 16;
    static constexpr int kStep = 1 << 12;

    struct Mark {
        int Offset; // 1-based text offset of a character start
        int Width;  // display width before it
    };

    bool Holds(int row) const noexcept { return row_ == row && row_ > 0; }
    // Walks the row once (its first byte at `start`, `length` bytes).
    void Build(const TMemoComponent& editor, int row, int start, int length);
    void Clear() noexcept;

    // The last mark at or before `offset`.
    const Mark& Before(int offset) const;
    // The last mark whose width is below `width`.
    const Mark& BeforeWidth(int width) const;
    // The row's display width.
    int Width() const { return marks_.back().Width; }

    // Offsets a..b (old text, rows firstRow..lastRow) became `length` bytes
    // making `insertedRows` new rows.
    void Replaced(const TMemoComponent& editor, int a, int b, int length, int firstRow, int lastRow,
                  int insertedRows);

private:
    // Walks the chunk from mark k to mark k + 1 again; returns its new width
    // change at mark k + 1.
    int Rewalk(const TMemoComponent& editor, std::size_t k);

    int row_ = 0;
    std::vector<Mark> marks_;  // the first at the row's start, the last at its end
    std::vector<char> hasTab_; // per chunk between two marks
};

} // namespace kelvara
