#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "syntax/SourceEdit.h"

namespace kelvara::test {

// A highlighted editor that counts its full re-scans and remembers the
// stretch its last scan covered.
class TestSourceEdit : public TSourceEdit {
public:
    explicit TestSourceEdit(EditorHost* host = nullptr) : TSourceEdit(host) {}
    void RescanAll() override {
        ++rescans;
        TSourceEdit::RescanAll();
    }
    void ScanRange(TCustomRange& range) override {
        TSourceEdit::ScanRange(range);
        scannedFrom = range.RStart();
        scannedTo = range.REnd();
    }
    int rescans = 0;
    int scannedFrom = 0;
    int scannedTo = 0;
};

// What the runs paint: (start, kind, payload, level) of each run, with plain
// text runs that follow each other taken as one (where a long text run was
// cut depends on the edits that led to it, the colours do not).
inline std::vector<std::tuple<int, int, int, int>> Colouring(const TSourceEdit& editor) {
    std::vector<std::tuple<int, int, int, int>> out;
    const TSyntaxRuns& runs = editor.SyntaxRuns();
    for (int i = 0; i < runs.Count(); ++i) {
        const SyntaxRun run = runs.Get(i);
        const int kind = static_cast<int>(run.Kind());
        if (!out.empty() && run.Kind() == SyntaxKind::NormalText &&
            std::get<1>(out.back()) == kind && std::get<3>(out.back()) == run.Level)
            continue;
        out.emplace_back(run.Start, kind, run.Payload(), run.Level);
    }
    return out;
}

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
