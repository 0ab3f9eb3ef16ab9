// The editor as a user drives it: keys, typing, the mouse with drags and
// drops, the clipboard, undo and redo, and selections from code; when the
// input asks, it also paints after every step (no line break is drawn),
// switches its code page now and then, or starts from a row long enough to
// keep checkpoints. After every step the editor is consistent; after the
// session its display widths are those of a fresh editor given its text;
// undoing everything gives the first text and redoing everything the
// newest; a highlighted editor's runs then colour the text as a full scan's.
#include <memory>
#include <string>

#include "common/CodePage.h"
#include "editor/EditorScript.h"
#include "fuzz/FuzzInput.h"
#include "syntax/SourceEdit.h"
#include "syntax/SourceEditFixture.h"

using namespace kelvara;

namespace {

// Rows are drawn without the bytes of their line breaks.
void RequireNoLineBreaksDrawn(const test::FakeHost& host) {
    const auto clean = [](const test::FakeCanvas& canvas) {
        for (const test::FakeCanvas::Text& text : canvas.texts)
            if (text.Chars.find_first_of("\r\n") != std::string::npos) return false;
        return true;
    };
    fuzz::Require(clean(host.canvas) && (!host.bitmap || clean(host.bitmap->canvas)),
                  "painting draws no line break");
}

// Display widths kept up to date through the edits (checkpoints of long rows
// included) are those that an editor given the final text works out.
void RequireWidthsOfAFreshEditor(const TMemoComponent& editor) {
    TMemoComponent fresh;
    fresh.SetCodePage(editor.GetCodePage());
    fresh.SetText(editor.Text());
    for (int row = 1; row <= editor.LineCount(); ++row) {
        fuzz::Require(editor.LineWidth(row) == fresh.LineWidth(row), "a row keeps its width");
        const int length = editor.LineLength(row);
        for (int col = 1; col <= length + 1; col += 1 + length / 64)
            fuzz::Require(editor.DisplayColumn({row, col}) == fresh.DisplayColumn({row, col}),
                          "a column keeps its display column");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const unsigned bits = input.Byte();
    SetTextCodePage((bits & 1) != 0 ? CodePage::Utf8 : CodePage::Gbk);
    const bool highlighted = (bits & 2) != 0;
    test::FakeHost host;
    std::unique_ptr<TMemoComponent> made;
    if (highlighted) {
        auto source = std::make_unique<TSourceEdit>(&host);
        test::UseCStyles(source->SyntaxColoring());
        source->SetAutoIndentIncrease((bits & 4) != 0);
        made = std::move(source);
    } else {
        made = std::make_unique<TMemoComponent>(&host);
    }
    TMemoComponent& editor = *made;
    editor.MeasureFont();
    editor.FocusGained();
    editor.SetDragDropEditing(true);
    editor.SetRemoveTrailingSpaces((bits & 8) != 0);
    std::string text(input.Bytes(64));
    // (Plain editors only: colouring the long text makes each input too slow.)
    const bool longText = (bits & 64) != 0 && !highlighted && !text.empty();
    if (longText) {
        // Just long enough for the checkpoints that long rows keep.
        const std::size_t length = RowCheckpoints::kLongRow + 2 * text.size();
        while (text.size() < length)
            text += text;
        text.resize(length);
    }
    editor.SetText(text);
    editor.ClearUndo();
    const std::string first = editor.Text();

    const bool paint = (bits & 16) != 0;
    const bool switchCodePage = (bits & 32) != 0; // as reopening in another code page does
    test::EditorScript script(editor, host);
    // Every step checks the whole text: a long one gets a short session.
    const int steps = longText ? 24 : 1 << 16;
    for (int step = 1; step <= steps && script.Step(input.Remaining()); ++step) {
        if (switchCodePage && step % 16 == 0)
            editor.SetCodePage(editor.GetCodePage() == CodePage::Gbk ? CodePage::Utf8
                                                                     : CodePage::Gbk);
        fuzz::RequireNoFault(editor.CheckInvariants(), "the editor is consistent after a step");
        if (paint) {
            editor.Paint();
            RequireNoLineBreaksDrawn(host);
        }
        host.canvas.Clear();
        if (host.bitmap) host.bitmap->canvas.Clear();
    }
    script.Finish();
    RequireWidthsOfAFreshEditor(editor);
    while (editor.EMCanUndo(1))
        editor.Redo();
    const std::string last = editor.Text();
    while (editor.EMCanUndo(0))
        editor.Undo();
    fuzz::Require(editor.Text() == first, "undoing everything gives the first text");
    while (editor.EMCanUndo(1))
        editor.Redo();
    fuzz::Require(editor.Text() == last, "redoing everything gives the newest text");
    fuzz::RequireNoFault(editor.CheckInvariants(), "the editor is consistent at the end");
    if (auto* source = dynamic_cast<TSourceEdit*>(&editor)) {
        TSourceEdit whole;
        whole.SetCodePage(source->GetCodePage());
        test::UseCStyles(whole.SyntaxColoring());
        whole.SetText(source->Text());
        fuzz::Require(test::Colouring(*source) == test::Colouring(whole),
                      "the runs colour as a full scan's");
    }
    return 0;
}
