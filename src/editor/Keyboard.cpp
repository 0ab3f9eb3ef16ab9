#include <algorithm>

#include "editor/MemoComponent.h"

namespace kelvara {

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

bool IsWordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

// Word characters are ASCII letters, digits and underscore; a character of
// several bytes never is one, whatever its bytes look like.
int TMemoComponent::WordLeft(int offset) const {
    // Only an ASCII byte may be the trail of a longer character, so only then
    // is the character start looked for; the walk itself goes byte by byte,
    // which inside a longer character never meets a word byte.
    auto wordBefore = [this](int p) {
        return IsWordByte(CharAt(p - 1)) && p - PrevCharStart(p) == 1;
    };
    int p = offset;
    const bool word = p > 1 && p <= textLength_ + 1 && wordBefore(p);
    while (p > 1 && wordBefore(p) == word)
        p -= IsBreak(CharAt(p - 1)) ? 2 : 1;
    return std::max(p, 1);
}

int TMemoComponent::WordRight(int offset) const {
    auto wordAt = [this](int p) { return CharLengthAt(p) == 1 && IsWordByte(CharAt(p)); };
    int p = offset;
    const bool word = p <= textLength_ && wordAt(p);
    while (p <= textLength_ && wordAt(p) == word)
        p += IsBreak(CharAt(p)) ? 2 : CharLengthAt(p);
    return p;
}

void TMemoComponent::KeyPress(std::string_view bytes) {
    if (bytes.empty() || readOnly_ || dragMoving_) return;
    const auto code = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 1 && code < 32 && code != 13) return;
    selection_->SetText(code == 13 ? std::string_view("\r\n") : bytes);
    selection_->ScrollIntoView(4);
}

void TMemoComponent::KeyUp(Key key, ShiftState shift) {
    if (key != Key::Control || readOnly_ || !dragMoving_ || !host_) return;
    const TPoint mouse = host_->MousePos();
    MouseMove(shift, mouse.X, mouse.Y);
}

bool TMemoComponent::WantsSpecialKey(Key key) {
    const int code = static_cast<int>(key);
    return key == Key::Tab || key == Key::Clear || (code >= 33 && code <= 40) ||
           key == Key::Insert || key == Key::Delete;
}

void TMemoComponent::KeyDown(Key key, ShiftState shift) {
    if (key == Key::None) return;
    if (dragMoving_) { // only Escape and Control act while a text is dragged
        if (key == Key::Escape) {
            CancelDrag();
        } else if (key == Key::Control && host_) {
            const TPoint mouse = host_->MousePos();
            MouseMove(shift, mouse.X, mouse.Y); // switches between moving and copying
        }
        return;
    }
    if (readOnly_) {
        KeyDownReadOnly(key, shift);
    } else {
        KeyDownEditing(key, shift);
    }
    if (Exactly(shift, kCtrl)) {
        if (key == Key::C) CopyToClipboard();
        if (key == Key::V && !readOnly_) PasteFromClipboard();
        if (key == Key::X && !readOnly_) CutToClipboard();
    }
}

// Without editing the keys only scroll.
void TMemoComponent::KeyDownReadOnly(Key key, ShiftState shift) {
    const bool ctrl = Held(shift, kCtrl);
    switch (key) {
    case Key::PageUp:
        WMVScroll(2, 0);
        break;
    case Key::PageDown:
        WMVScroll(3, 0);
        break;
    case Key::End:
        if (ctrl) {
            WMVScroll(7, 0);
        } else {
            WMHScroll(7, 0);
        }
        break;
    case Key::Home:
        if (ctrl) WMVScroll(6, 0);
        WMHScroll(6, 0);
        break;
    case Key::Left:
        WMHScroll(0, 0);
        break;
    case Key::Right:
        WMHScroll(1, 0);
        break;
    case Key::Up:
        WMVScroll(0, 0);
        break;
    case Key::Down:
        WMVScroll(1, 0);
        break;
    case Key::Insert:
        if (Exactly(shift, kCtrl)) CopyToClipboard();
        break;
    default:
        break;
    }
}

void TMemoComponent::KeyDownEditing(Key key, ShiftState shift) {
    switch (key) {
    case Key::Backspace:
        if (shift == kNoShift || Exactly(shift, kShift)) {
            DeleteKey(true);
        } else if (Exactly(shift, kAlt)) {
            Undo();
        } else if (Exactly(shift, kShift | kAlt)) {
            Redo();
        }
        break;
    case Key::Tab:
        if (shift == kNoShift) {
            selection_->SetText("\t");
            selection_->ScrollIntoView(4);
        }
        break;
    case Key::Clear:
        selection_->Clear();
        selection_->ScrollIntoView(4);
        break;
    case Key::PageUp:
    case Key::PageDown:
    case Key::End:
    case Key::Home:
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down:
        MoveCaretBy(key, shift);
        break;
    case Key::Insert:
        if (Exactly(shift, kShift)) PasteFromClipboard();
        if (Exactly(shift, kCtrl)) CopyToClipboard();
        break;
    case Key::Delete:
        if (shift == kNoShift) DeleteKey(false);
        if (Exactly(shift, kShift)) CutToClipboard();
        break;
    case Key::Z:
        if (Held(shift, kCtrl)) {
            if (Held(shift, kShift)) {
                Redo();
            } else {
                Undo();
            }
        }
        break;
    default:
        break;
    }
}

// Backspace and Delete: an empty selection first grows by the character
// before or after the caret (a CR LF pair as one).
void TMemoComponent::DeleteKey(bool backwards) {
    TSelectionRange& selection = *selection_;
    if (selection.RLength() <= 0) {
        selection.BeginUpdate();
        if (backwards) {
            const int start = selection.RStart();
            selection.SetRStart(IsBreak(CharAt(start - 1)) ? start - 2 : PrevCharStart(start));
        } else {
            const int end = selection.REnd();
            const int at = end + 1;
            selection.SetREnd(IsBreak(CharAt(at)) ? end + 2 : end + CharLengthAt(at));
        }
        selection.EndUpdateQuiet();
    }
    selection.Clear();
    selection.ScrollIntoView(4);
}

void TMemoComponent::MoveCaretBy(Key key, ShiftState shift) {
    TSelectionRange& selection = *selection_;
    const bool extend = Held(shift, kShift);
    const bool ctrl = Held(shift, kCtrl);
    const bool collapse = !extend && selection.RLength() > 0 && !alwaysShowCaret_;
    const int caret = selection.CaretPos();
    const int row = OffsetToPoint(caret).Row;
    int keptColumn = -1;
    int target = caret;
    switch (key) {
    case Key::PageUp:
    case Key::PageDown:
    case Key::Up:
    case Key::Down: {
        const bool up = key == Key::PageUp || key == Key::Up;
        const bool page = key == Key::PageUp || key == Key::PageDown;
        if (!page && collapse) {
            if (up) {
                selection.SetREnd(selection.RStart() - 1);
            } else {
                selection.SetRStart(selection.REnd() + 1);
            }
            return;
        }
        const int step = page ? std::max(visibleRows_ - 1, 1) : 1;
        keptColumn = selection.DesiredColumn();
        target = selection.ColumnOnRow(up ? row - step : row + step);
        break;
    }
    case Key::End:
        target = ctrl ? textLength_ + 1 : PointToOffset({row, LineLength(row) + 1});
        break;
    case Key::Home:
        target = ctrl ? 1 : PointToOffset({row, 1});
        break;
    case Key::Left:
        if (collapse) {
            selection.SetREnd(selection.RStart() - 1);
            return;
        }
        if (ctrl) {
            target = WordLeft(caret);
        } else {
            target = IsBreak(CharAt(caret - 1)) ? caret - 2 : PrevCharStart(caret);
        }
        break;
    case Key::Right:
        if (collapse) {
            selection.SetRStart(selection.REnd() + 1);
            return;
        }
        if (ctrl) {
            target = WordRight(caret);
        } else {
            target = caret + (IsBreak(CharAt(caret)) ? 2 : CharLengthAt(caret));
        }
        break;
    default:
        return;
    }
    if (extend) {
        selection.ExtendTo(target);
    } else {
        selection.MoveTo(target);
    }
    selection.SetDesiredColumn(keptColumn);
    selection.ScrollIntoView(0);
}

} // namespace kelvara
