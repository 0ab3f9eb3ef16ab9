#include "app/HighlightedView.h"

#include "syntax/SyntaxColors.h"

namespace kelvara {

namespace {

// A colour as $00BBGGRR.
constexpr TColor Rgb(unsigned red, unsigned green, unsigned blue) {
    return red | green << 8 | blue << 16;
}

} // namespace

std::unique_ptr<TSourceEdit> MakeHighlightedEditor(EditorHost* host) {
    auto editor = std::make_unique<TSourceEdit>(host);
    // A large text is coloured in slices, a step (about 2 ms) at a time.
    editor->SetScanStep(256 * 1024);
    editor->SetReadOnly(true);
    editor->SetAllowUndo(false); // the view has no undo command
    editor->SetAlwaysShowCaret(false);
    editor->SetLeftMargin(2);
    editor->SetTopMargin(0);
    editor->SetTabSize(2);
    editor->SetRemoveTrailingSpaces(false);
    editor->SetAutoIndent(true);
    editor->SetAutoIndentIncrease(false);
    editor->SetAutoIndentIncreaseStart('{');
    editor->SetAutoIndentIncreaseEnd('}');
    editor->SetSplitOnFly(false);
    TSyntaxColoring& settings = editor->SyntaxColoring();
    settings.BeginUpdate();
    settings.SetEnabled(true);
    settings.SetSymbolColor(clOlive);
    settings.SetSymbolStyle(0);
    settings.SetSymbolCustomStyle(false);
    settings.SetNumberColor(Rgb(232, 0, 116));
    settings.SetNumberStyle(0);
    settings.SetNumberCustomStyle(false);
    TWordList& words = settings.WordLists().Add();
    words.SetCustomColor(true);
    words.SetColor(Rgb(106, 106, 255));
    words.SetCustomStyle(false);
    words.SetStyle(static_cast<TFontStyles>(FontStyle::Bold));
    words.SetCaseSensitive(false);
    settings.SetParenthesisColors({"$000000"});
    settings.SetParenthesisStyle(0);
    settings.SetParenthesisCustomStyle(false);
    settings.EndUpdate();
    return editor;
}

} // namespace kelvara
