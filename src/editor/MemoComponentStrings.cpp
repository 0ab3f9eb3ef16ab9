#include "editor/MemoComponentStrings.h"

#include <string>

#include "editor/MemoComponent.h"

namespace kelvara {

namespace {

// A temporary range from one text point to another.
TMCRange RowRange(TMemoComponent& editor, TextPoint from, TextPoint to) {
    return TMCRange(&editor, editor.PointToOffset(from), editor.PointToOffset(to));
}

} // namespace

std::string TMemoComponentStrings::Get(int index) const {
    return RowRange(*editor_, {index + 1, 1}, {index + 2, -2}).GetText();
}

int TMemoComponentStrings::GetCount() const {
    return editor_->TextLength() == 0 ? 0 : editor_->LineCount();
}

void TMemoComponentStrings::Put(int index, std::string_view s) {
    RowRange(*editor_, {index + 1, 1}, {index + 2, -2}).SetText(s);
}

void TMemoComponentStrings::Insert(int index, std::string_view s) {
    if (editor_->TextLength() == 0) {
        editor_->SetText(s);
    } else if (index < editor_->LineCount()) {
        const int at = editor_->PointToOffset({index + 1, 1});
        TMCRange(editor_, at, at - 1).SetText(std::string(s) + "\r\n");
    } else {
        const int at = editor_->TextLength() + 1;
        TMCRange(editor_, at, at - 1).SetText("\r\n" + std::string(s));
    }
}

void TMemoComponentStrings::Delete(int index) {
    if (index < editor_->LineCount() - 1) {
        RowRange(*editor_, {index + 1, 1}, {index + 2, 0}).Clear();
    } else {
        RowRange(*editor_, {index + 1, -1}, {index + 2, -2}).Clear();
    }
}

void TMemoComponentStrings::Clear() { editor_->ClearText(); }

std::string TMemoComponentStrings::GetTextStr() const { return editor_->Text(); }

void TMemoComponentStrings::SetTextStr(std::string_view text) { editor_->SetText(text); }

} // namespace kelvara
