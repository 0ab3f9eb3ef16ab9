// The editor as a user drives it: keys, typing, the mouse with drags and
// drops, the clipboard, undo and redo, and selections from code. After every
// step the editor is consistent; at the end undoing everything gives the
// first text and redoing everything the newest; a highlighted editor's runs
// are then those of a full scan.
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

    test::EditorScript script(editor, host);
    while (script.Step(input.Remaining())) {
        fuzz::RequireNoFault(editor.CheckInvariants(), "the editor is consistent after a step");
        host.canvas.Clear(); // what was drawn is not looked at
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
        test::UseCStyles(whole.SyntaxColoring());
        whole.SetText(source->Text());
        fuzz::Require(Runs(*source) == Runs(whole), "the runs are a full scan's");
    }
    return 0;
}
