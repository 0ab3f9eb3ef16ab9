// Syntax colouring speed and memory on generated C-like text (comments,
// strings, numbers, listed words, nested parentheses) of 1, 10 and 50 MB:
// the full scan, the re-scan after a character typed in the middle, the worst
// cases of a block-comment or string opener typed at the top, the run list's
// memory per text byte, and the highlighted repaint of a full 1920 x 1080 view.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "common/CodePage.h"
#include "syntax/SourceEdit.h"

namespace kelvara {
namespace {

// With `blockComments` off, the comment lines are line comments, so that a
// block-comment opener at the top comments out the whole text.
std::string SourceText(std::size_t bytes, bool blockComments = true) {
    static const char* const kLines[] = {
        "/* Block comment %d: counts (items) and \"quotes\" */",
        "static int counter_%d = 0x1F + 3.25e+2;",
        "int compute_%d(int a, char* b) {",
        "    if ((a > %d) && (b[0] == 'x')) return (a * (a + 1)) / 2;",
        "    while (a-- > 0) { printf(\"value %%d\\n\", a); } // line comment",
        "    for (int i = 0; i < %d; ++i) total += values[i] * 1.5;",
        "}",
        "",
    };
    std::string text;
    text.reserve(bytes + 128);
    char line[160];
    for (int n = 0; text.size() < bytes; ++n) {
        const char* format = kLines[n % std::size(kLines)];
        if (!blockComments && n % std::size(kLines) == 0)
            format = "// Line comment %d: counts (items) and \"quotes\"";
        std::snprintf(line, sizeof line, format, n);
        text += line;
        text += "\r\n";
    }
    return text;
}

// A window of 1920 x 1080 pixels whose canvas only counts what it is given.
class CountingCanvas : public TCanvas {
public:
    void FillRect(const TRect&, TColor) override { ++fills; }
    void TextOut(const TRect&, int, int, std::string_view text, const TFont&, TColor, int,
                 CodePage) override {
        bytes += text.size();
        ++texts;
    }
    void Draw(int, int, TBitmap&) override {}
    std::size_t fills = 0, texts = 0, bytes = 0;
};

class ScreenHost : public EditorHost {
public:
    bool HasWindow() const override { return true; }
    bool HasParent() const override { return true; }
    void SetFocus() override {}
    int ClientWidth() const override { return 1920; }
    int ClientHeight() const override { return 1080; }
    int CharWidth(const TFont&) const override { return 8; }
    int LineHeight(const TFont&) const override { return 16; }
    void CreateCaret(int, int) override {}
    void DestroyCaret() override {}
    void ShowCaret() override {}
    void HideCaret() override {}
    void SetCaretPos(int, int) override {}
    void SetScrollBar(ScrollBarKind, int, int, int, int) override {}
    void SetScrollPos(ScrollBarKind, int) override {}
    int ScrollPos(ScrollBarKind) const override { return 0; }
    void StartTimer(int, int) override {}
    void StopTimer(int) override {}
    std::optional<std::string> ClipboardText() override { return std::string(); }
    void SetClipboardText(std::string_view) override {}
    TPoint MousePos() const override { return {}; }
    void SetDragCursor(bool) override {}
    void ControlChanged() override {}
    void RecreateWindow() override {}
    TCanvas& Canvas() override { return canvas; }
    std::unique_ptr<TBitmap> CreateBitmap() override { return nullptr; }
    void ScrollArea(int, const TRect&) override {}
    void Invalidate() override {}
    void Update() override {}
    CountingCanvas canvas;
};

void UseCSettings(TSyntaxColoring& settings) {
    settings.BeginUpdate();
    for (const auto& [begin, end, ignore] :
         {std::tuple{"/*", "*/", ""}, {"//", "#13", ""}, {"\"", "\"", "\\"}, {"'", "'", "\\"}}) {
        TCustomStyle& style = settings.CustomStyles().Add();
        style.SetBeginText(begin);
        style.SetEndText(end);
        style.SetIgnoreChar(ignore);
    }
    settings.WordLists().Add().SetWords(
        {"static", "int", "char", "if", "return", "while", "for", "printf"});
    settings.SetParenthesisColors({"$0000FF", "$008000", "$FF0000"});
    settings.EndUpdate();
}

// An editor holding `megabytes` of coloured text, undo off (steady memory).
std::unique_ptr<TSourceEdit> LoadedEditor(int megabytes, EditorHost* host = nullptr,
                                          bool blockComments = true) {
    auto editor = std::make_unique<TSourceEdit>(host);
    editor->SetAllowUndo(false);
    UseCSettings(editor->SyntaxColoring());
    editor->SetText(SourceText(static_cast<std::size_t>(megabytes) << 20, blockComments));
    return editor;
}

void BM_FullScan(benchmark::State& state) {
    const auto editor = LoadedEditor(static_cast<int>(state.range(0)));
    for (auto _ : state)
        editor->RescanAll();
    state.SetBytesProcessed(state.iterations() * editor->TextLength());
    state.counters["runs"] = editor->SyntaxRuns().Count();
    state.counters["run_bytes_per_text_byte"] =
        static_cast<double>(editor->SyntaxRuns().MemoryBytes()) / editor->TextLength();
}
BENCHMARK(BM_FullScan)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

// One edit per iteration: a letter typed into an identifier in the middle of
// the text, then taken out again by the next iteration.
void BM_TypeInTheMiddle(benchmark::State& state) {
    const auto editor = LoadedEditor(10);
    int at = editor->TextLength() / 2;
    while (editor->CharAt(at) < 'a' || editor->CharAt(at) > 'z')
        ++at;
    bool typed = false;
    for (auto _ : state) {
        TMCRange span(editor.get(), at, typed ? at : at - 1);
        span.SetText(typed ? "" : "q");
        typed = !typed;
    }
    state.counters["runs"] = editor->SyntaxRuns().Count();
}
BENCHMARK(BM_TypeInTheMiddle)->Unit(benchmark::kMicrosecond);

// An editor that remembers the stretch its last re-scan covered.
class ProbedEditor : public TSourceEdit {
public:
    void ScanRange(TCustomRange& range) override {
        TSourceEdit::ScanRange(range);
        scanned = range.RLength();
    }
    int scanned = 0;
};

// A 10 MB line of GB2312 prose without a symbol or a blank (one text run to
// the scanner): a Chinese character typed in its middle, then taken out again.
void BM_TypeInALongGbkLine(benchmark::State& state) {
    const CodePage saved = TextCodePage();
    SetTextCodePage(CodePage::Gbk);
    ProbedEditor editor;
    editor.SetAllowUndo(false);
    UseCSettings(editor.SyntaxColoring());
    std::string text;
    for (unsigned i = 0; text.size() < (10u << 20); i = i * 1103515245 + 12345) {
        text += static_cast<char>(0xB0 + (i >> 16) % 39);
        text += static_cast<char>(0xA1 + (i >> 8) % 94);
    }
    editor.SetText(text);
    const int at = editor.TextLength() / 2 + 1;
    bool typed = false;
    for (auto _ : state) {
        TMCRange span(&editor, at, typed ? at + 1 : at - 1);
        span.SetText(typed ? "" : "\xD6\xD0");
        typed = !typed;
    }
    state.counters["bytes_rescanned"] = editor.scanned;
    SetTextCodePage(saved);
}
BENCHMARK(BM_TypeInALongGbkLine)->Unit(benchmark::kMicrosecond);

// The worst cases: an opener typed at the very top, then removed again; each
// of the two edits changes the runs of the whole text.
void TypeAtTheTop(benchmark::State& state, const char* opener, bool blockComments = true) {
    const auto editor = LoadedEditor(10, nullptr, blockComments);
    const int length = static_cast<int>(std::char_traits<char>::length(opener));
    bool typed = false;
    for (auto _ : state) {
        TMCRange span(editor.get(), 1, typed ? length : 0);
        span.SetText(typed ? "" : opener);
        typed = !typed;
    }
}
void BM_BlockCommentOpenerAtTheTop(benchmark::State& state) { TypeAtTheTop(state, "/*", false); }
void BM_StringOpenerAtTheTop(benchmark::State& state) { TypeAtTheTop(state, "\""); }
void BM_ParenthesisAtTheTop(benchmark::State& state) { TypeAtTheTop(state, "("); }
BENCHMARK(BM_BlockCommentOpenerAtTheTop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StringOpenerAtTheTop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParenthesisAtTheTop)->Unit(benchmark::kMillisecond);

// The whole 1920 x 1080 view in the middle of a 10 MB text, highlighted,
// with a selection across it.
void BM_RepaintFullView(benchmark::State& state) {
    ScreenHost host;
    const auto editor = LoadedEditor(10, &host);
    editor->MeasureFont();
    const int middle = editor->LineCount() / 2;
    editor->View().SetTopRow(middle);
    editor->SetSelStart(editor->PointToOffset({middle + 10, 5}));
    editor->SetSelLength(300);
    host.canvas = {};
    for (auto _ : state)
        editor->Paint();
    state.counters["texts_per_paint"] =
        static_cast<double>(host.canvas.texts) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RepaintFullView)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kelvara

BENCHMARK_MAIN();
