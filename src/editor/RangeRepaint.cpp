#include <algorithm>

#include "editor/MemoComponent.h"

namespace kelvara {

// Redraws the rows the range covers, as far as they are visible.
void TCustomRange::Repaint() {
    if (!editor_ || !editor_->HasWindowAndParent()) return;
    TMemoComponent& editor = *editor_;
    TVisibleRange& view = editor.View();
    if (view.UpdateCount() > 0) return; // the view repaints when its bracket closes
    const int textLength = editor.TextLength();
    const bool special = this == &view || dynamic_cast<TWholeTextRange*>(this);
    if (RLength() <= 0 && !special && RStart() < textLength) return;

    EditorHost& host = *editor.Host();
    TCanvas& canvas = editor.PaintCanvas();
    TSelectionRange& selection = editor.Selection();
    const int caret = selection.CaretPos();
    if (RStart() >= caret - 1 && REnd() <= caret) selection.HideEditCaret();
    const int clientWidth = host.ClientWidth();
    const int clientHeight = host.ClientHeight();
    if (textLength == 0) {
        canvas.FillRect({0, 0, clientWidth, clientHeight}, editor.Color());
        if (editor.Bitmapped()) host.Invalidate();
        selection.UpdateCaretVisibility();
        return;
    }

    const TextPoint startPoint = GetStartPoint();
    const TextPoint endPoint = GetEndPoint();
    const int topRow = view.TopRow();
    const int leftCol = view.LeftCol();
    const int lineHeight = editor.LineHeight();
    const int charWidth = editor.CharWidth();
    const int leftMargin = editor.LeftMargin();
    const int topMargin = editor.TopMargin();
    const int tabSize = editor.TabSize();
    const int lineCount = editor.LineCount();
    const int first = std::max(startPoint.Row, topRow);
    int last = endPoint.Row + (REnd() >= textLength ? 1 : 0);
    last = std::min(last, editor.VisibleRows() + topRow + 1 + (view.REnd() >= textLength ? 1 : 0));

    TMCRange segment(&editor, 1, 0);
    for (int row = first; row <= last; ++row) {
        int startCol = row == startPoint.Row ? startPoint.Col : 1;
        int x0 = 0;
        const int display = std::max(editor.DisplayColumn({row, startCol}), leftCol);
        startCol = editor.DisplayToTextPointStart({row, display}, x0).Col;
        int endCol = row == endPoint.Row ? endPoint.Col : editor.LineLength(row) + 2;
        // Only the characters up to the view's right edge are drawn.
        const int rightCol = editor.DisplayToTextPoint({row, view.RightCol()}).Col;
        if (rightCol <= editor.LineLength(row)) endCol = std::min(endCol, rightCol);
        const int y = (row - topRow) * lineHeight + topMargin;
        const bool pastEnd =
            row >= lineCount && editor.PointToOffset({row, startCol - 1}) > textLength;
        if (pastEnd) {
            const int offset = editor.PointToOffset({row + 1, -1});
            segment.SetRStart(offset);
            const TRect band{leftMargin, y, clientWidth, y + lineHeight};
            if (selection.RStart() <= offset && offset <= selection.REnd()) {
                canvas.FillRect(band, clHighlight);
            } else {
                canvas.FillRect(band, editor.Color());
                if (selection.RStart() >= offset && selection.RStart() <= offset + 2)
                    selection.HideEditCaret();
            }
        } else if (endCol >= startCol ||
                   (row >= lineCount && editor.PointToOffset({row, endCol}) >= textLength)) {
            segment.SetRStart(editor.PointToOffset({row, startCol}));
            segment.SetREnd(editor.PointToOffset({row, endCol}));
            const int x = (x0 - leftCol) * charWidth + leftMargin;
            editor.PaintRowText(segment, x, tabSize - (x0 - 1) % tabSize, y);
        }
        if (row >= lineCount || pastEnd) {
            if (selection.RStart() >= textLength) selection.HideEditCaret();
            const int below = (lineCount - topRow + 1) * lineHeight + topMargin;
            canvas.FillRect({leftMargin, below, clientWidth, clientHeight}, editor.Color());
        }
    }
    if (editor.Bitmapped()) host.Invalidate(); // the window copies the picture
    selection.UpdateCaretVisibility();
}

} // namespace kelvara
