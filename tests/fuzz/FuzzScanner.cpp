// The syntax scanner: after every edit of a text, under custom styles made of
// the fuzzer's bytes, the runs re-scanned around the edit are those of a
// full scan of the new text; also when colouring goes on in slices, and
// when the editor's code page changes in between.
#include <string>
#include <vector>

#include "common/CodePage.h"
#include "fuzz/FuzzInput.h"
#include "syntax/SourceEdit.h"

using namespace kelvara;

namespace {

struct StyleBytes {
    std::string begin, end, escape;
    unsigned flags = 0;
};

struct Settings {
    bool splitOnFly = false;
    bool caseSensitiveWords = false;
    std::vector<StyleBytes> styles;

    void ApplyTo(TSourceEdit& editor) const {
        editor.SetSplitOnFly(splitOnFly);
        TSyntaxColoring& coloring = editor.SyntaxColoring();
        coloring.BeginUpdate();
        for (const StyleBytes& bytes : styles) {
            TCustomStyle& style = coloring.CustomStyles().Add();
            style.SetBeginText(bytes.begin);
            style.SetEndText(bytes.end);
            style.SetIgnoreChar(bytes.escape);
            style.SetSwitchable((bytes.flags & 1) != 0);
            style.SetLineStartOnly((bytes.flags & 2) != 0);
            style.SetCaseSensitive((bytes.flags & 4) != 0);
        }
        TWordList& words = coloring.WordLists().Add();
        words.SetWords({"if", "IF", "x1", "$f", "while"});
        words.SetCaseSensitive(caseSensitiveWords);
        coloring.EndUpdate();
    }
};

// Every run with its start, kind and payload, level and end.
std::vector<std::int64_t> Runs(const TSourceEdit& editor) {
    std::vector<std::int64_t> out;
    const TSyntaxRuns& runs = editor.SyntaxRuns();
    for (int i = 0; i < runs.Count(); ++i) {
        const SyntaxRun run = runs.Get(i);
        out.insert(out.end(), {run.Start, run.Bits, run.Level, runs.End(i, editor.TextLength())});
    }
    return out;
}

void RequireFullScan(const TSourceEdit& editor, const Settings& settings) {
    fuzz::RequireNoFault(editor.CheckInvariants(), "the runs tile the text");
    TSourceEdit whole;
    whole.SetCodePage(editor.GetCodePage());
    settings.ApplyTo(whole);
    whole.SetText(editor.Text());
    fuzz::Require(Runs(editor) == Runs(whole), "the runs after an edit are a full scan's");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const unsigned bits = input.Byte();
    SetTextCodePage((bits & 1) != 0 ? CodePage::Utf8 : CodePage::Gbk);
    Settings settings;
    settings.splitOnFly = (bits & 2) != 0;
    settings.caseSensitiveWords = (bits & 4) != 0;
    const bool sliced = (bits & 8) != 0;
    const bool switchCodePage = (bits & 16) != 0; // as reopening in another code page does
    for (unsigned count = input.Byte() % 4; count > 0; --count) {
        StyleBytes style;
        style.begin = input.Bytes(3);
        style.end = input.Bytes(3);
        style.escape = input.Bytes(1);
        style.flags = input.Byte();
        settings.styles.push_back(std::move(style));
    }
    TSourceEdit editor;
    settings.ApplyTo(editor);
    if (sliced) editor.SetScanStep(1 + static_cast<int>(input.Byte() % 64));
    editor.SetText(input.Bytes(255));

    for (int step = 0; step < 64 && !input.Empty(); ++step) {
        const unsigned op = input.Byte();
        if (switchCodePage && step % 8 == 7) {
            editor.SetCodePage(editor.GetCodePage() == CodePage::Gbk ? CodePage::Utf8
                                                                     : CodePage::Gbk);
        } else if (sliced && op % 4 == 0) {
            editor.ScanSome(1 + static_cast<int>(input.Byte()));
        } else if (op % 16 == 1) {
            editor.Undo();
        } else {
            int at = static_cast<int>(input.Byte()) << 8;
            at |= static_cast<int>(input.Byte());
            at = at % (editor.TextLength() + 1) + 1;
            const int removed = static_cast<int>(input.Byte() % 8);
            TMCRange(&editor, at, at + removed - 1).SetText(input.Bytes(6));
        }
        if (sliced) {
            fuzz::RequireNoFault(editor.CheckInvariants(), "the runs tile the text");
        } else {
            RequireFullScan(editor, settings);
        }
    }
    while (editor.ScanSome(1 << 20)) {
    }
    RequireFullScan(editor, settings);
    return 0;
}
