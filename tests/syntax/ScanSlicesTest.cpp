#include <gtest/gtest.h>

#include <random>

#include "../editor/FakeHost.h"
#include "SourceEditFixture.h"

namespace kelvara {
namespace {

using test::TestSourceEdit;

// C-like lines: comments, strings, numbers, listed words and parentheses.
std::string SourceText(int lines) {
    static const char* const kLines[] = {
        "/* comment %d: (items) and \"quotes\" */",
        "static int counter_%d = 0x1F + 3.25e+2; // line",
        "    if ((a > %d) && (b[0] == 'x')) return (a * (a + 1)) / 2;",
        "    printf(\"value %%d\\n\", %d);",
        "}",
    };
    std::string text;
    char line[128];
    for (int n = 0; n < lines; ++n) {
        std::snprintf(line, sizeof line, kLines[n % std::size(kLines)], n);
        text += line;
        text += "\r\n";
    }
    return text;
}

std::vector<std::tuple<int, int, int>> Runs(const TSourceEdit& editor) {
    std::vector<std::tuple<int, int, int>> out;
    for (int i = 0; i < editor.SyntaxRuns().Count(); ++i) {
        const SyntaxRun run = editor.SyntaxRuns().Get(i);
        out.emplace_back(run.Start, run.Bits, run.Level);
    }
    return out;
}

void Finish(TSourceEdit& editor) {
    while (editor.ScanSome(1 << 20)) {
    }
}

std::vector<std::tuple<int, int, int>> FullScanOf(const TSourceEdit& editor) {
    TestSourceEdit fresh;
    test::UseCStyles(fresh.SyntaxColoring());
    fresh.SetText(editor.Text());
    return Runs(fresh);
}

// Edits before the pending scan, inside the stretch it has not reached and
// right at it: once the scan is done, the runs are those of a full scan.
TEST(ScanSlices, EditsDuringTheScanEndWithTheRunsOfAFullScan) {
    std::mt19937 random(1208);
    TestSourceEdit editor;
    test::UseCStyles(editor.SyntaxColoring());
    editor.SetScanStep(1000);
    editor.SetText(SourceText(2000));
    EXPECT_GT(editor.PendingScanFrom(), 0);
    EXPECT_LT(editor.scannedTo, 2000);
    static const char* const kPieces[] = {"/*", "*/", "\"", "(", ")", "x", "\r\n", "// ", "12"};
    for (int step = 0; step < 600; ++step) {
        const int length = editor.TextLength();
        const int pending = editor.PendingScanFrom();
        int at = static_cast<int>(random() % length) + 1;
        if (pending > 0 && step % 3 == 0) at = std::clamp(pending - 5 + at % 10, 1, length);
        TMCRange span(&editor, at, at - 1 + static_cast<int>(random() % 3));
        span.SetText(random() % 2 ? kPieces[random() % std::size(kPieces)] : "");
        if (random() % 4 == 0) editor.ScanSome(static_cast<int>(random() % 20000));
        ASSERT_EQ(editor.CheckInvariants(), "") << "step " << step;
        if (step % 100 == 99) {
            Finish(editor);
            ASSERT_EQ(Runs(editor), FullScanOf(editor)) << "step " << step;
        }
    }
}

// A quote typed at one place flips every string after it; the re-scan stops
// at the step, pending. A comment opened further up, closed before the
// pending scan, comes back to the runs of that re-scan: those after it are
// still the ones from before the quote, and must not be taken as right.
TEST(ScanSlices, AnEditBeforeAPendingScanDoesNotEndIt) {
    TestSourceEdit editor;
    test::UseCStyles(editor.SyntaxColoring());
    editor.SetScanStep(1000);
    std::string text;
    for (int line = 0; line < 1000; ++line)
        text += line == 150 ? "*/\r\n" : "x = \"s\";\r\n";
    editor.SetText(text);
    Finish(editor);
    TMCRange quote(&editor, 2001, 2000);
    quote.SetText("\"");
    ASSERT_GT(editor.PendingScanFrom(), 2500);
    TMCRange comment(&editor, 101, 100);
    comment.SetText("/*");
    ASSERT_LT(editor.PendingScanFrom(), 2000);
    Finish(editor);
    EXPECT_EQ(Runs(editor), FullScanOf(editor));
}

// The rows on screen far beyond the pending scan are coloured first, from
// their top row; the slices the window's timer asks for do the rest.
// A style that runs to the text's end within the first slice ends the scan:
// no run is left waiting past the text.
TEST(ScanSlices, AStyleToTheEndOfTheTextEndsTheScan) {
    TestSourceEdit editor;
    editor.SyntaxColoring().CustomStyles().Add(); // empty begin and end: everything
    editor.SetScanStep(1);
    editor.SetText("x");
    EXPECT_EQ(editor.PendingScanFrom(), 0);
    EXPECT_EQ(editor.CheckInvariants(), "");
    EXPECT_EQ(editor.SyntaxRuns().Count(), 1);
}

// An edit that takes every run before the pending scan leaves the text
// plain until the scan gets there.
TEST(ScanSlices, AnEditOfTheWholeScannedStretchKeepsTheTextCovered) {
    TestSourceEdit editor;
    test::UseCStyles(editor.SyntaxColoring());
    editor.SetScanStep(1);
    editor.SetText("a?b");
    ASSERT_EQ(editor.PendingScanFrom(), 2);
    TMCRange(&editor, 1, 2).SetText("(");
    EXPECT_EQ(editor.CheckInvariants(), "");
    Finish(editor);
    EXPECT_EQ(Runs(editor), FullScanOf(editor));
}

TEST(ScanSlices, TheRowsOnScreenAreColouredFirstAndTheTimerDoesTheRest) {
    test::FakeHost host;
    TestSourceEdit editor(&host);
    editor.MeasureFont();
    test::UseCStyles(editor.SyntaxColoring());
    editor.SetScanStep(3000);
    editor.SetText(SourceText(5000));
    ASSERT_EQ(host.timers.count(TSourceEdit::kScanTimer), 1u);
    editor.View().SetTopRow(4000);
    editor.ScanSome(1);
    ASSERT_LT(editor.PendingScanFrom(), editor.View().RStart());
    const auto full = FullScanOf(editor);
    const auto onScreen = [&](const std::vector<std::tuple<int, int, int>>& runs) {
        std::vector<std::tuple<int, int, int>> out;
        for (const auto& run : runs) {
            const int start = std::get<0>(run);
            if (start >= editor.View().RStart() && start <= editor.View().REnd())
                out.emplace_back(start, std::get<1>(run) & ~SyntaxRun::kResumableBit,
                                 std::get<2>(run));
        }
        return out;
    };
    EXPECT_EQ(onScreen(Runs(editor)), onScreen(full));

    while (editor.PendingScanFrom() > 0)
        editor.WMTimer(TSourceEdit::kScanTimer);
    EXPECT_EQ(Runs(editor), full);
    EXPECT_EQ(editor.CheckInvariants(), "");
}

} // namespace
} // namespace kelvara
