// The editor as a user drives it: keys, typing, the mouse with drags and
// drops, the clipboard, undo and redo, and selections from code. After every
// step the editor is consistent (and, when the input asks, paints without
// drawing a line break, or switches its code page now and then); at the end undoing everything
// gives the first text and redoing everything the newest; a highlighted editor's runs are then
// those of a full scan.
#include <memory>
#include <string>

#include "common/CodePage.h"
#include "editor/EditorScript.h"
#include "fuzz/FuzzInput.h"
#include "syntax/SourceEdit.h"
#include "syntax/SourceEditFixture.h"

using namespace kelvara;

namespace {

std::string Runs(const TSourceEdit& editor) {
    std::string out;
    for (TSyntaxRange run = editor.FirstSyntaxRange(); run; run = run.NextRange())
        out +=
            std::to_string(run.RStart()) + run.ClassName() + std::to_string(run.ParenthesisLevel());
    return out;
}

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
    editor.SetText(input.Bytes(64));
    editor.ClearUndo();
    const std::string first = editor.Text();

    const bool paint = (bits & 16) != 0;
    const bool switchCodePage = (bits & 32) != 0; // as reopening in another code page does
    test::EditorScript script(editor, host);
    for (int step = 1; script.Step(input.Remaining()); ++step) {
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
        fuzz::Require(Runs(*source) == Runs(whole), "the runs are a full scan's");
    }
    return 0;
}
