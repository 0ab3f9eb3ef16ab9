// The editor widget on the offscreen platform, its viewport 1920 x 1080: a
// full repaint of the view at the start, middle and end of plain text of 1
// and 50 MB; a typed character in the middle of 50 MB up to the repainted
// screen, also with a screen reader listening; a wheel step and a page down there; and a single 10
// MB row (minified file): typing in its middle, scrolling it sideways, repainting. Every step goes
// from the Qt event to the picture on the screen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QWheelEvent>

#include <map>
#include <memory>
#include <random>
#include <string>

#include "common/CodePage.h"
#include "platform/EditorAccessible.h"
#include "platform/EditorWidget.h"

namespace kelvara {
namespace {

// Plain text in GBK: lines of 40 to 120 characters, some indented with tabs,
// one in eight with Chinese words.
std::string PlainText(std::size_t bytes) {
    std::mt19937 random(5);
    static const char* const kWords[] = {
        "alpha", "beta", "value", "return", "x", "(1, 2)", "\xD6\xD0\xCE\xC4", "\xB2\xE2\xCA\xD4"};
    std::string text;
    text.reserve(bytes + 200);
    while (text.size() < bytes) {
        const std::size_t target = 40 + random() % 80;
        const std::size_t start = text.size();
        if (random() % 4 == 0) text += '\t';
        const bool chinese = random() % 8 == 0;
        while (text.size() - start < target) {
            text += kWords[random() % (chinese ? 8 : 6)];
            text += ' ';
        }
        text += "\r\n";
    }
    return text;
}

// A minified row: 10 MB without a line break.
std::string LongRow(std::size_t bytes) {
    std::string row;
    row.reserve(bytes + 32);
    while (row.size() < bytes)
        row += "function(a,b){return a+b;};var x=\"\xD6\xD0\";";
    return row;
}

class Screen {
public:
    explicit Screen(const std::string& text) {
        widget_.setWindowFlag(Qt::FramelessWindowHint);
        widget_.show();
        // The viewport, not the whole widget, is 1920 x 1080.
        const QSize frame = widget_.size() - widget_.viewport()->size();
        widget_.resize(QSize(1920, 1080) + frame);
        QApplication::processEvents();
        widget_.Editor().SetText(text);
        Flush();
    }
    TMemoComponent& Editor() { return widget_.Editor(); }
    EditorWidget& Widget() { return widget_; }
    // Paints what is pending on the screen.
    static void Flush() { QApplication::processEvents(); }
    // Draws the whole view into the picture and shows it.
    void RepaintAll() {
        Editor().Host()->Invalidate();
        Flush();
    }
    void Key(int key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&widget_, &press);
        Flush();
    }
    void Wheel(int delta) {
        const QPointF at(100, 100);
        QWheelEvent wheel(at, widget_.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget_.viewport(), &wheel);
        Flush();
    }

private:
    EditorWidget widget_;
};

std::unique_ptr<Screen>& Cached(const std::string& key) {
    static std::map<std::string, std::unique_ptr<Screen>> screens;
    return screens[key];
}

Screen& PlainScreen(int megabytes) {
    auto& screen = Cached("plain" + std::to_string(megabytes));
    if (!screen) screen = std::make_unique<Screen>(PlainText(megabytes * std::size_t{1} << 20));
    return *screen;
}

Screen& RowScreen() {
    auto& screen = Cached("row");
    if (!screen) screen = std::make_unique<Screen>(LongRow(std::size_t{10} << 20));
    return *screen;
}

// Where the view stands: 0 start, 1 middle, 2 end.
void PlaceView(TMemoComponent& editor, int where) {
    const int row = where == 0 ? 1 : where == 1 ? editor.LineCount() / 2 : editor.LineCount();
    editor.SetSelStart(editor.PointToOffset({row, 1}) - 1);
    editor.View().SetTopRow(row);
    Screen::Flush();
}

void BM_FullRepaint(benchmark::State& state) {
    Screen& screen = PlainScreen(static_cast<int>(state.range(0)));
    PlaceView(screen.Editor(), static_cast<int>(state.range(1)));
    for (auto _ : state)
        screen.RepaintAll();
}

void BM_TypeInTheMiddle(benchmark::State& state) {
    Screen& screen = PlainScreen(50);
    PlaceView(screen.Editor(), 1);
    for (auto _ : state)
        screen.Key(Qt::Key_X, QStringLiteral("x"));
}

void IgnoreEvent(QAccessibleEvent*) {}

// The same with a screen reader listening: it is told of each change and
// each caret move in Unicode offsets.
void BM_TypeInTheMiddleWithAScreenReader(benchmark::State& state) {
    Screen& screen = PlainScreen(50);
    PlaceView(screen.Editor(), 1);
    EditorAccessible::SetEventSink(IgnoreEvent);
    for (auto _ : state)
        screen.Key(Qt::Key_X, QStringLiteral("x"));
    EditorAccessible::SetEventSink(nullptr);
}

void BM_WheelStep(benchmark::State& state) {
    Screen& screen = PlainScreen(50);
    PlaceView(screen.Editor(), 1);
    int delta = -120;
    for (auto _ : state) {
        screen.Wheel(delta);
        delta = -delta; // down and up again, to stay in the middle
    }
}

// The Page Down key with the caret on the view's last row: every press
// scrolls a page further down.
void BM_PageDownKey(benchmark::State& state) {
    Screen& screen = PlainScreen(50);
    TMemoComponent& editor = screen.Editor();
    PlaceView(editor, 1);
    editor.SetSelStart(
        editor.PointToOffset({editor.View().TopRow() + editor.VisibleRows() - 1, 1}) - 1);
    Screen::Flush();
    for (auto _ : state)
        screen.Key(Qt::Key_PageDown);
}

// A page down and a page up on the vertical scroll bar, in turn.
void BM_PageScrollBar(benchmark::State& state) {
    Screen& screen = PlainScreen(50);
    PlaceView(screen.Editor(), 1);
    int code = 3;
    for (auto _ : state) {
        screen.Editor().WMVScroll(code, 0);
        Screen::Flush();
        code = 5 - code;
    }
}

void BM_LongRowType(benchmark::State& state) {
    Screen& screen = RowScreen();
    TMemoComponent& editor = screen.Editor();
    editor.SetSelStart(editor.TextLength() / 2);
    editor.ScrollToCaret();
    Screen::Flush();
    for (auto _ : state)
        screen.Key(Qt::Key_X, QStringLiteral("x"));
}

void BM_LongRowScrollSideways(benchmark::State& state) {
    Screen& screen = RowScreen();
    TMemoComponent& editor = screen.Editor();
    editor.View().SetLeftCol(editor.MaxLineWidth() / 2);
    Screen::Flush();
    int code = 1;
    for (auto _ : state) {
        editor.WMHScroll(code, 0);
        Screen::Flush();
        code = 1 - code;
    }
}

void BM_LongRowRepaint(benchmark::State& state) {
    Screen& screen = RowScreen();
    screen.Editor().View().SetLeftCol(screen.Editor().MaxLineWidth() / 2);
    Screen::Flush();
    for (auto _ : state)
        screen.RepaintAll();
}

BENCHMARK(BM_FullRepaint)
    ->ArgsProduct({{1, 50}, {0, 1, 2}})
    ->ArgNames({"MB", "view"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeInTheMiddle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeInTheMiddleWithAScreenReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WheelStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDownKey)->Unit(benchmark::kMillisecond)->Iterations(500);
BENCHMARK(BM_PageScrollBar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongRowType)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongRowScrollSideways)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongRowRepaint)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kelvara

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    kelvara::SetTextCodePage(kelvara::CodePage::Gbk);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
