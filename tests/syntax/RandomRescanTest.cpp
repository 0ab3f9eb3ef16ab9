#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "SourceEditFixture.h"
#include "common/CodePage.h"

namespace kelvara {
namespace {

using test::TestSourceEdit;

// Styles that exercise the scanner's harder paths: switchable styles handing
// over, a line-start style and an escape that is also a word character.
void UseMarkupStyles(TSyntaxColoring& settings) {
    settings.BeginUpdate();
    TCustomStyle& script = settings.CustomStyles().Add();
    script.SetBeginText("<%");
    script.SetEndText(">");
    script.SetSwitchable(true);
    TCustomStyle& tag = settings.CustomStyles().Add();
    tag.SetBeginText("<");
    tag.SetEndText(">");
    tag.SetSwitchable(true);
    tag.SetIgnoreChar("\\");
    TCustomStyle& directive = settings.CustomStyles().Add();
    directive.SetBeginText("#if");
    directive.SetEndText("#13");
    directive.SetLineStartOnly(true);
    TCustomStyle& quoted = settings.CustomStyles().Add();
    quoted.SetBeginText("\"");
    quoted.SetEndText("\"");
    quoted.SetIgnoreChar("x");
    settings.WordLists().Add().SetWords({"if", "IF", "x1", "$f"});
    settings.EndUpdate();
}

std::string RandomPiece(std::mt19937& random) {
    static const char* const kPieces[] = {"/*",
                                          "*/",
                                          "//",
                                          "\"",
                                          "'",
                                          "\\",
                                          "(",
                                          ")",
                                          "((",
                                          "))",
                                          "\r\n",
                                          "\r",
                                          "\n",
                                          "\xB0\xA1",
                                          "\xB1\\",
                                          "\xB1(",
                                          "\xB1{",
                                          "\xB0if",
                                          "if",
                                          "x",
                                          "1",
                                          ".",
                                          "+",
                                          "-",
                                          "e",
                                          "#",
                                          "#if ",
                                          " ",
                                          "\t",
                                          "{",
                                          "}",
                                          "a1.5e+3",
                                          "$f",
                                          "<",
                                          ">",
                                          "<%",
                                          "x1",
                                          "?\?/",
                                          "\xE4\xB8\xAD",
                                          "abcdefghijklmnopqrstuvwxyz "};
    std::string text;
    const int count = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < count; ++i)
        text += kPieces[random() % std::size(kPieces)];
    return text;
}

// The runs of an editor as comparable values.
std::vector<std::tuple<int, int, int, int>> Runs(const TSourceEdit& editor) {
    std::vector<std::tuple<int, int, int, int>> out;
    const TSyntaxRuns& runs = editor.SyntaxRuns();
    for (int i = 0; i < runs.Count(); ++i) {
        const SyntaxRun run = runs.Get(i);
        out.emplace_back(run.Start, run.Bits, run.Level, runs.End(i, editor.TextLength()));
    }
    return out;
}

using PieceMaker = std::function<std::string(std::mt19937&)>;

void RunRandomEdits(std::uint32_t seed, CodePage codePage,
                    const std::function<void(TSourceEdit&)>& configure, int steps,
                    const PieceMaker& pieces = RandomPiece) {
    const CodePage saved = TextCodePage();
    SetTextCodePage(codePage);
    std::mt19937 random(seed);
    TestSourceEdit editor;
    configure(editor);
    TestSourceEdit fresh;
    configure(fresh);
    for (int step = 0; step < steps; ++step) {
        const int length = editor.TextLength();
        const int a = static_cast<int>(random() % (length + 1)) + 1;
        const int maxDelete = length > 3000 ? 40 : 6;
        const int b = std::min(a - 1 + static_cast<int>(random() % (maxDelete + 1)), length);
        const bool insert = length < 3000 || random() % 3 == 0;
        TMCRange span(&editor, a, b);
        span.SetText(insert ? pieces(random) : std::string());
        ASSERT_EQ(editor.CheckInvariants(), "") << "step " << step;
        fresh.SetText(editor.Text());
        ASSERT_EQ(Runs(editor), Runs(fresh)) << "step " << step << " seed " << seed;
        if (step % 500 == 499) editor.Undo();
    }
    SetTextCodePage(saved);
}

TEST(RandomRescan, IncrementalRunsEqualAFullScanWithCStyles) {
    RunRandomEdits(
        20261208, CodePage::Gbk, [](TSourceEdit& e) { test::UseCStyles(e.SyntaxColoring()); },
        4000);
}

TEST(RandomRescan, IncrementalRunsEqualAFullScanWithSwitchableStylesInUtf8) {
    RunRandomEdits(
        77, CodePage::Utf8, [](TSourceEdit& e) { UseMarkupStyles(e.SyntaxColoring()); }, 4000);
}

TEST(RandomRescan, IncrementalRunsEqualAFullScanWhenSplittingOnPaint) {
    RunRandomEdits(
        5150, CodePage::Gbk,
        [](TSourceEdit& e) {
            e.SetSplitOnFly(true);
            UseMarkupStyles(e.SyntaxColoring());
        },
        3000);
}

// Styles whose begin texts are escape characters, or empty (a style that
// begins everywhere), over a text made mostly of those characters.
TEST(RandomRescan, IncrementalRunsEqualAFullScanWithEscapingBeginTexts) {
    const auto configure = [](TSourceEdit& e) {
        TSyntaxColoring& settings = e.SyntaxColoring();
        settings.BeginUpdate();
        TCustomStyle& nines = settings.CustomStyles().Add();
        nines.SetBeginText("999");
        nines.SetEndText("9");
        nines.SetIgnoreChar("9");
        nines.SetSwitchable(true);
        TCustomStyle& everywhere = settings.CustomStyles().Add();
        everywhere.SetIgnoreChar("9");
        everywhere.SetSwitchable(true);
        TCustomStyle& slashed = settings.CustomStyles().Add();
        slashed.SetBeginText("\\");
        slashed.SetEndText(">");
        slashed.SetIgnoreChar("\\");
        settings.EndUpdate();
    };
    const PieceMaker pieces = [](std::mt19937& random) {
        static const std::string kPieces[] = {
            "9",    "99", "9999", "N",       std::string(1, '\0'), " ", "\\", "\\\\",
            "?\?/", ">",  "\r\n", "\xB0\xA1"};
        return kPieces[random() % std::size(kPieces)];
    };
    RunRandomEdits(4242, CodePage::Gbk, configure, 3000, pieces);
    RunRandomEdits(
        99, CodePage::Gbk,
        [&](TSourceEdit& e) {
            configure(e);
            e.SyntaxColoring().CustomStyles().Items(0).SetSwitchable(false);
        },
        3000, pieces);
}

// Long plain text: wide characters and blanks, with a few bytes that make
// symbols, numbers, exponents, escapes and comments, and lone lead bytes that
// change how the GBK bytes after them pair up.
std::string LongPlainPiece(std::mt19937& random, CodePage codePage) {
    static const char* const kRare[] = {"\xB0", "1e", "+5", "\\",   "\"",  "/*", "*/", "(",
                                        ")",    ".",  "x",  "\r\n", "if ", "//", "\r", "9"};
    if (random() % 4 == 0) return kRare[random() % std::size(kRare)];
    std::string text;
    const int count = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < count; ++i)
        text += codePage == CodePage::Gbk ? "\xB0\xA1" : "\xE4\xB8\xAD";
    return random() % 3 == 0 ? text + " " : text;
}

void RunLongPlainEdits(std::uint32_t seed, CodePage codePage) {
    const CodePage saved = TextCodePage();
    SetTextCodePage(codePage);
    std::mt19937 random(seed);
    TestSourceEdit editor;
    test::UseCStyles(editor.SyntaxColoring());
    TestSourceEdit fresh;
    test::UseCStyles(fresh.SyntaxColoring());
    std::string text;
    while (text.size() < 40000)
        text += codePage == CodePage::Gbk ? "\xB0\xA1\xB1\xA2" : "\xE4\xB8\xAD ";
    editor.SetText(text);
    for (int step = 0; step < 1500; ++step) {
        const int length = editor.TextLength();
        const int a = static_cast<int>(random() % (length + 1)) + 1;
        const int b = std::min(a - 1 + static_cast<int>(random() % 4), length);
        TMCRange span(&editor, a, b);
        span.SetText(random() % 2 ? LongPlainPiece(random, codePage) : std::string());
        ASSERT_EQ(editor.CheckInvariants(), "") << "step " << step;
        fresh.SetText(editor.Text());
        ASSERT_EQ(test::Colouring(editor), test::Colouring(fresh))
            << "step " << step << " seed " << seed;
    }
    SetTextCodePage(saved);
}

TEST(RandomRescan, LongPlainTextColoursAsAFullScanInGbk) { RunLongPlainEdits(1512, CodePage::Gbk); }

TEST(RandomRescan, LongPlainTextColoursAsAFullScanInUtf8) {
    RunLongPlainEdits(2719, CodePage::Utf8);
}

} // namespace
} // namespace kelvara
