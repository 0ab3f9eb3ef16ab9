#pragma once

#include <string>
#include <vector>

#include "syntax/SourceEdit.h"

namespace kelvara::test {

// A highlighted editor that counts its full re-scans.
class TestSourceEdit : public TSourceEdit {
public:
    explicit TestSourceEdit(EditorHost* host = nullptr) : TSourceEdit(host) {}
    void RescanAll() override {
        ++rescans;
        TSourceEdit::RescanAll();
    }
    int rescans = 0;
};

// One run as "Class:text" (and ":level" for parentheses), for readable expectations.
inline std::vector<std::string> Describe(const TSourceEdit& editor) {
    std::vector<std::string> out;
    for (TSyntaxRange run = editor.FirstSyntaxRange(); run; run = run.NextRange()) {
        std::string entry = std::string(run.ClassName()).substr(1) + ":" + run.GetText();
        if (run.Kind() == SyntaxKind::OpeningParen || run.Kind() == SyntaxKind::ClosingParen)
            entry += ":" + std::to_string(run.ParenthesisLevel());
        out.push_back(entry);
    }
    return out;
}

// C-like settings: block and line comments, strings with a backslash escape,
// one word list.
inline void UseCStyles(TSyntaxColoring& settings) {
    settings.BeginUpdate();
    TCustomStyle& block = settings.CustomStyles().Add();
    block.SetBeginText("/*");
    block.SetEndText("*/");
    TCustomStyle& line = settings.CustomStyles().Add();
    line.SetBeginText("//");
    line.SetEndText("#13");
    TCustomStyle& string = settings.CustomStyles().Add();
    string.SetBeginText("\"");
    string.SetEndText("\"");
    string.SetIgnoreChar("\\");
    TCustomStyle& chars = settings.CustomStyles().Add();
    chars.SetBeginText("'");
    chars.SetEndText("'");
    chars.SetIgnoreChar("\\");
    TWordList& words = settings.WordLists().Add();
    words.SetWords({"if", "else", "while", "return", "int", "char", "for", "struct"});
    settings.EndUpdate();
}

} // namespace kelvara::test
