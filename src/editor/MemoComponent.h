#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "common/CodePage.h"
#include "editor/EditorHost.h"
#include "editor/FormattedRanges.h"
#include "editor/IntegerList.h"
#include "editor/Keys.h"
#include "editor/MemoComponentStrings.h"
#include "editor/Ranges.h"
#include "editor/RowCheckpoints.h"
#include "editor/SelectionRange.h"
#include "editor/TextStore.h"
#include "editor/UndoStack.h"
#include "editor/VisibleRange.h"

namespace kelvara {

// Kelvara's own text editor control without its window: the text with CR LF
// breaks and its line starts, the registered ranges (among them the view and
// the selection), the one replacement primitive with undo and redo, caret,
// keyboard and clipboard. Everything a window provides comes through the
// host; without one (a null host) the window steps do nothing.
class TMemoComponent {
public:
    explicit TMemoComponent(EditorHost* host = nullptr);
    virtual ~TMemoComponent();
    TMemoComponent(const TMemoComponent&) = delete;
    TMemoComponent& operator=(const TMemoComponent&) = delete;

    EditorHost* Host() const noexcept { return host_; }
    bool HasWindow() const { return host_ && host_->HasWindow(); }
    bool HasWindowAndParent() const { return HasWindow() && host_->HasParent(); }

    // --- Text store (offsets are 1-based byte positions) ---
    int TextLength() const noexcept { return textLength_; }
    // Changes with every replacement, so views of the text know when to renew.
    unsigned TextVersion() const noexcept { return textVersion_; }
    std::string Text() const { return store_.Copy(0, store_.Length()); }
    // The bytes of offsets offset..offset+length-1 that lie in the text.
    std::string TextAt(int offset, int length) const;
    // A contiguous view of the same bytes; valid until the next edit or view.
    std::string_view TextView(int offset, int length) const;
    // The whole text as it lies in two pieces: reading them moves nothing.
    std::pair<std::string_view, std::string_view> TextPieces() const {
        return store_.Pieces(0, store_.Length());
    }
    // Display width reached after the bytes of offsets offset..offset+length-1
    // (all in the text), starting from `width` columns.
    int AdvanceWidth(int offset, int length, int width) const;
    // The byte at an offset, 0 outside the text.
    char CharAt(int offset) const noexcept {
        return offset >= 1 && offset <= textLength_ ? store_.At(offset - 1) : '\0';
    }
    int LineCount() const noexcept { return lineStarts_.Count(); }
    int LineLength(int row) const;
    virtual TextPoint OffsetToPoint(int offset) const;
    virtual int PointToOffset(TextPoint point) const;
    // The code page of the text, which tells where characters begin and how
    // many cells they fill. A new editor takes the default code page.
    CodePage GetCodePage() const noexcept { return codePage_; }
    // Takes the text as written in `codePage` from now on (the bytes stay):
    // rows are measured again and the view redrawn. The caller puts the
    // selection on character starts when the text is not empty.
    void SetCodePage(CodePage codePage);
    // Length of the character that starts at an offset, and the start of the
    // character that ends right before one (rows start on character starts).
    // In UTF-8 a character takes in the zero-width characters (combining
    // marks) after it: the caret never stops between a mark and its base.
    int CharLengthAt(int offset) const;
    int PrevCharStart(int offset) const;

    TMemoComponentStrings& Lines() noexcept { return *lines_; }
    void SetLines(const TStrings& lines) { lines_->Assign(lines); }
    TMCRanges& Ranges() noexcept { return *ranges_; }
    TSelectionRange& Selection() noexcept { return *selection_; }
    TVisibleRange& View() noexcept { return *view_; }

    void SetText(std::string_view text);
    virtual void ClearText();
    // A selection set from code ends a drag under way first, and never
    // starts or ends between the CR and the LF of a line break.
    int SelStart() const { return selection_->RStart() - 1; }
    void SetSelStart(int value);
    int SelLength() const { return selection_->RLength(); }
    void SetSelLength(int value);

    // --- Replacement and undo ---
    // The one edit primitive. A result over 1 GB is refused with
    // std::length_error before anything changes. An edit that is not the
    // drag's own ends a drag under way first.
    virtual void ReplaceRange(TCustomRange& range, std::string_view text);
    void Undo() { EMUndo(0); }
    void Redo() { EMUndo(1); }
    // Argument 1 means the redo stack, anything else the undo stack.
    virtual int EMCanUndo(int which) const;
    virtual void EMUndo(int which);
    virtual UndoRecord PopUndo();
    virtual UndoRecord PopRedo();
    virtual UndoRecord NewGroupMark() const { return UndoRecord{}; }
    virtual bool IsGroupMark(const UndoRecord& record) const { return record.Start == -1; }
    virtual void PushUndo(UndoRecord record) { undo_.Push(std::move(record)); }
    virtual void PushRedo(UndoRecord record) { redo_.Push(std::move(record)); }
    const UndoStack& UndoRecords() const noexcept { return undo_; }
    const UndoStack& RedoRecords() const noexcept { return redo_; }
    void ClearUndo();
    void ClearRedo() { redo_.Clear(); }
    bool AllowUndo() const noexcept { return allowUndo_; }
    void SetAllowUndo(bool value);
    bool Undoing() const noexcept { return undoing_; }
    // True during the edits a drag makes itself (they leave no undo records).
    bool DragEditing() const noexcept { return dragEditing_; }

    bool RemoveTrailingSpaces() const noexcept { return removeTrailingSpaces_; }
    void SetRemoveTrailingSpaces(bool value);
    void RemoveLineTrailingBlanks(int row);
    void RemoveAllTrailingBlanks();
    virtual void IndentLines(int count);

    // Text messages: set the whole text from a zero-terminated string (result
    // 1); copy at most size-1 bytes and a zero into a buffer (result: bytes
    // copied); the text length.
    int WMSetText(const char* text);
    int WMGetText(char* buffer, int size) const;
    int WMGetTextLength() const { return textLength_; }

    std::function<void(TMemoComponent&)> OnChange;
    // After every replacement, never held back: where it was, how many bytes
    // it replaced and the bytes it put there (breaks as stored), so that
    // another view of the same text can make the same edit.
    std::function<void(int offset, int oldLength, std::string_view newText)> OnReplaced;
    std::function<void(TMemoComponent&)> OnSelectionChange;
    // While set, Change and SelectionChange notify nobody.
    bool NotificationsLocked() const noexcept { return notificationLock_; }
    void SetNotificationLock(bool value) noexcept { notificationLock_ = value; }
    virtual void Change();
    virtual void SelectionChange();

    // --- Positions on the character grid ---
    int TabSize() const noexcept { return tabSize_; }
    void SetTabSize(int value);
    virtual int DisplayColumn(TextPoint point) const;
    // (row, display column) to a valid text point on a character start.
    virtual TextPoint DisplayToTextPoint(TextPoint point) const;
    // The same, also giving the display column where the found character starts.
    virtual TextPoint DisplayToTextPointStart(TextPoint point, int& startColumn) const;
    int LineWidth(int row) const;
    // The checkpoints of a long row, none for a short one.
    const RowCheckpoints* CheckpointsOf(int row) const;
    virtual int TabWidthAt(int offset) const;
    virtual TextPoint PixelToCell(int x, int y) const;
    virtual TPoint CellToPixel(TextPoint cell) const;
    int MaxLineWidth() const noexcept { return widths_.empty() ? 0 : widths_.rbegin()->first; }

    // --- View ---
    TScrollStyle ScrollBars() const noexcept { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    int LeftMargin() const noexcept { return leftMargin_; }
    void SetLeftMargin(int value);
    int TopMargin() const noexcept { return topMargin_; }
    void SetTopMargin(int value);
    int CharWidth() const noexcept { return charWidth_; }
    int LineHeight() const noexcept { return lineHeight_; }
    int VisibleRows() const noexcept { return visibleRows_; }
    int VisibleCols() const noexcept { return visibleCols_; }
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor color);
    const TFont& Font() const noexcept { return font_; }
    // Measures the new font and redraws.
    void SetFont(const TFont& font);
    // Styles that would change the cell width of the font; runs are drawn
    // without them, to keep the grid.
    TFontStyles SuppressedStyles() const noexcept { return suppressedStyles_; }
    void ClampView();
    virtual void MeasureFont();
    // The control font changed.
    void FontChanged();
    virtual void UpdateScrollBars();
    // Window size changed.
    void WMSize() { UpdateScrollBars(); }
    // Scroll-bar requests: 0 line up, 1 line down, 2 page up, 3 page down,
    // 4/5 thumb at `position`, 6 top, 7 bottom.
    void WMHScroll(int code, int position);
    void WMVScroll(int code, int position);
    virtual void ScrollToCaret() { selection_->ScrollIntoView(4); }

    // --- Painting ---
    // Draws the whole client area (the window's paint request).
    void Paint();
    // Draws one row segment at pixel (x, y); `tabPhase` columns lead from x
    // to the next tab stop.
    virtual void PaintRowText(TMCRange& segment, int x, int tabPhase, int y);
    // Appends the drawing runs of a row segment: the selection highlighted,
    // the rest in the editor's colour and font.
    virtual void GetFormattedRanges(TMCRange& segment, TFormattedRangeList& runs);
    virtual void PaintMargins(const TRect& top, const TRect& left, TCanvas& canvas);
    // Keeps the off-screen picture in step with Bitmapped and the client size.
    virtual void UpdateBitmap();
    // With Bitmapped on, rows are drawn into an off-screen picture that is
    // copied to the window in one piece.
    bool Bitmapped() const noexcept { return bitmapped_; }
    void SetBitmapped(bool value);
    TBitmap* Bitmap() const noexcept { return bitmap_.get(); }
    // Where rows are drawn: the off-screen picture in bitmapped mode, else the
    // window. Only with a window.
    TCanvas& PaintCanvas();

    // --- Caret, focus and keyboard ---
    bool Focused() const noexcept { return focused_; }
    bool CaretCreated() const noexcept { return caretCreated_; }
    void FocusGained();
    void FocusLost();
    virtual void CreateEditCaret();
    virtual void DestroyEditCaret();
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool value);
    bool AlwaysShowCaret() const noexcept { return alwaysShowCaret_; }
    void SetAlwaysShowCaret(bool value);

    // Keys the window must hand to the editor instead of using them to move
    // between controls.
    static bool WantsSpecialKey(Key key);
    // A key cleared by the window's own handling arrives as Key::None.
    virtual void KeyDown(Key key, ShiftState shift);
    void KeyUp(Key key, ShiftState shift);
    // A typed character: one byte, or the bytes of one character.
    virtual void KeyPress(std::string_view bytes);
    void KeyPress(char byte) { KeyPress(std::string_view(&byte, 1)); }
    int WordLeft(int offset) const;
    int WordRight(int offset) const;

    void WMCopy();
    void WMCut();
    void WMPaste();
    void WMClear();
    void CopyToClipboard() { WMCopy(); }
    void CutToClipboard() { WMCut(); }
    void PasteFromClipboard() { WMPaste(); }

    // --- Mouse (client pixels) ---
    bool DragDropEditing() const noexcept { return dragDropEditing_; }
    void SetDragDropEditing(bool value) noexcept { dragDropEditing_ = value; }
    void MouseDown(MouseButton button, ShiftState shift, int x, int y);
    void MouseMove(ShiftState shift, int x, int y);
    void MouseUp(MouseButton button, ShiftState shift, int x, int y);
    // The second press of a double click (instead of MouseDown).
    void DblClick();
    // Follows the mouse while selecting or dragging a text.
    virtual void DragTo(int x, int y);
    // The 50 ms tick while the mouse selects or drags: scrolls towards the
    // mouse when it is beyond an edge.
    virtual void WMTimer(int id);
    // Wheel rotation in eighths of a degree (120 a notch), positive away from
    // the user: three rows a notch.
    void MouseWheel(int delta);
    // A sideways wheel (tilted, or a touchpad's sideways swipe), positive to
    // the left: six columns a notch, about as far as three rows.
    void MouseWheelSideways(int delta);
    void StopMouseTracking();
    // The text offset under a client pixel.
    int MouseOffset(int x, int y) const;
    bool MouseSelecting() const noexcept { return mouseSelecting_; }
    bool DragPending() const noexcept { return dragPending_; }
    bool DragMoving() const noexcept { return dragMoving_; }
    static constexpr int kDragTimer = 1;

    // Empty when the line starts, the row widths and the registered ranges are
    // consistent with the text, else a description of the first fault.
    std::string CheckInvariants() const;

protected:
    // Hooks for descendants: after every replacement (position, old length,
    // new length), and at its very end.
    virtual void TextReplaced(int /*position*/, int /*oldLength*/, int /*newLength*/) {}
    virtual void AfterReplace() {}
    // After SetCodePage, before the view is redrawn.
    virtual void CodePageChanged() {}

private:
    int CodePointLengthAt(int offset) const;
    int PrevCodePointStart(int offset) const;
    int ZeroWidthLengthAt(int offset) const;
    void RecordUndo(int start, int end, int newLength, std::string oldText);
    void WidenOverBreaks(int& a, int& b) const;
    // Puts `text` in place of offsets a..b, which lie on rows firstRow..lastRow,
    // keeping line starts and row widths; returns the change in row count.
    int SpliceText(int a, int b, std::string&& text, int firstRow, int lastRow);
    void ForgetWidths(int firstRow, int lastRow);
    void LearnWidths(int firstRow, int lastRow);
    void RecomputeWidths();
    void RepaintAfterReplace(bool viewMoved, int position, int lastRow, int rowDelta);
    int ScrollTarget(int code, int position, int current, int page, int maximum) const;
    void KeyDownReadOnly(Key key, ShiftState shift);
    void CancelDrag();
    void MoveDraggedText(int offset);
    void FinishDrag(bool copy);
    void EndDrag();
    void KeyDownEditing(Key key, ShiftState shift);
    void MoveCaretBy(Key key, ShiftState shift);
    void DeleteKey(bool backwards);
    void RefreshGrid();

    EditorHost* host_;
    CodePage codePage_ = TextCodePage();
    mutable TextStore store_; // viewing may move its gap, never its content
    int textLength_ = 0;
    unsigned textVersion_ = 0;
    TIntegerList lineStarts_;
    std::map<int, int> widths_;          // row width -> number of rows that wide
    mutable RowCheckpoints checkpoints_; // of the long row used last

    std::unique_ptr<TMemoComponentStrings> lines_;
    std::unique_ptr<TMCRanges> ranges_;
    std::unique_ptr<TWholeTextRange> wholeText_;
    std::unique_ptr<TVisibleRange> view_;
    std::unique_ptr<TSelectionRange> selection_;

    UndoStack undo_;
    UndoStack redo_;
    bool allowUndo_ = true;
    bool undoing_ = false;
    bool removeTrailingSpaces_ = false;
    bool notificationLock_ = false;

    TScrollStyle scrollBars_ = TScrollStyle::Both;
    TBorderStyle borderStyle_ = TBorderStyle::Single;
    bool dragDropEditing_ = false;
    bool mouseSelecting_ = false;
    bool dragPending_ = false;
    bool dragMoving_ = false;
    bool dragEditing_ = false; // the edits a drag makes itself: no undo records
    bool doubleClicked_ = false;
    std::unique_ptr<TMCRange> dragOrigin_; // registered: follows the edits of a drag
    int wheelDelta_ = 0;
    int sidewaysDelta_ = 0;

    bool readOnly_ = false;
    bool alwaysShowCaret_ = false;
    bool focused_ = false;
    bool caretCreated_ = false;
    int tabSize_ = 2;
    int leftMargin_ = 2;
    int topMargin_ = 0;
    int charWidth_ = 0;
    int lineHeight_ = 0;
    int visibleRows_ = 0;
    int visibleCols_ = 0;
    TColor color_ = clWindow;
    TFont font_;
    TFontStyles suppressedStyles_ = 0;
    bool bitmapped_ = false;
    std::unique_ptr<TBitmap> bitmap_;
    TFormattedRangeList runs_; // reused by every row drawn
    std::string expanded_;     // likewise: a run's text with tabs expanded
};

} // namespace kelvara
