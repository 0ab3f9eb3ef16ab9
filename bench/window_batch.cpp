// The batch window driven offscreen on a large tree, against the headless
// run the command line makes: find time, repaint rate and stop latency during
// a run, the result tree with hundreds of thousands of hits, and adding a
// folder tree to the file set against a plain recursive listing.
//
// The tree is $KELVARA_TREE (the kernel tree that bench/compare.sh unpacks
// into build/corpus/source), else a generated tree of C-like files.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <benchmark/benchmark.h>

#include <dirent.h>

#include "common/AskUser.h"
#include "platform/HeapTuning.h"
#include "search/BatchFind.h"
#include "searchui/DocumentFrame.h"
#include "searchui/ResultTreeModel.h"
#include "searchui/ResultTreeView.h"
#include "searchui/frmfindtree.h"
#include "syntax/SourceEdit.h"

namespace kelvara {
namespace {

using Clock = std::chrono::steady_clock;

std::string GeneratedTree() {
    const std::string root =
        (std::filesystem::temp_directory_path() / "kelvara-bench-tree").string();
    if (std::filesystem::exists(root + "/done")) return root;
    std::mt19937 random(42);
    const char* words[] = {"int",  "char",  "return", "if",   "else", "for", "while", "struct",
                           "void", "const", "data",   "size", "len",  "ret", "dev",   "buf"};
    for (int folder = 0; folder < 40; ++folder) {
        std::filesystem::create_directories(root + "/d" + std::to_string(folder));
        for (int file = 0; file < 50; ++file) {
            std::ofstream out(root + "/d" + std::to_string(folder) + "/f" + std::to_string(file) +
                              ".c");
            for (int line = 0; line < 2000; ++line) {
                const unsigned r = random() % 1000;
                if (r < 50)
                    out << "static int " << words[random() % 16] << "_" << line << "(void);\n";
                else if (r < 51)
                    out << "\tp = kmalloc_array(n, sizeof(*p), GFP_KERNEL);\n";
                else
                    out << "\t" << words[random() % 16] << " " << words[random() % 16] << " "
                        << words[random() % 16] << ";\n";
            }
        }
    }
    std::ofstream(root + "/done") << "";
    return root;
}

const std::string& Tree() {
    static const std::string tree = [] {
        const char* given = std::getenv("KELVARA_TREE");
        return given != nullptr && *given != '\0' ? std::string(given) : GeneratedTree();
    }();
    return tree;
}

// A size of /proc/self/status, in MB.
double StatusMegabytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == field) {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes / 1024;
        }
    }
    return 0;
}

// The peak resident size of the process so far.
double PeakMegabytes() { return StatusMegabytes("VmHWM:"); }

double ResidentMegabytes() { return StatusMegabytes("VmRSS:"); }

class PlainView : public TMemoComponent {
public:
    void PaintRowText(TMCRange&, int, int, int) override {}
};

class BenchDocument : public DocumentWindow {
public:
    explicit BenchDocument(const std::string& path) : path_(path) {
        std::ifstream in(path, std::ios::binary);
        plain_.SetText(std::string(std::istreambuf_iterator<char>(in), {}));
    }
    const std::string& Path() const override { return path_; }
    std::string Id() const override { return "1"; }
    bool Modified() const override { return false; }
    void SetModified(bool) override {}
    TMemoComponent& Memo1() override { return plain_; }
    TSourceEdit& Memohun() override { return highlighted_; }
    void ShowPage(int) override {}
    void SelectInPlainView(int start, int length) override {
        plain_.SetSelStart(start);
        plain_.SetSelLength(length);
    }
    QWidget* FindDialog() const override { return nullptr; }
    void SetFindDialog(QWidget*) override {}
    void SetHitStepper(std::function<void(bool)>) override {}

private:
    std::string path_;
    PlainView plain_;
    TSourceEdit highlighted_;
};

class BenchFrame : public DocumentFrame {
public:
    QWidget* FrameWidget() override { return nullptr; }
    const std::string& SettingsFileName() const override { return settings; }
    bool OpenDocument(const std::string& path) override { return ShowDocument(path); }
    DocumentWindow* ShowDocument(const std::string& path) override {
        document = std::make_unique<BenchDocument>(path);
        return document.get();
    }
    DocumentWindow* ActiveDocument() override { return document.get(); }
    void UpdateDocumentCommands(int) override {}
    void ShowStatus(const std::string&) override {}
    std::vector<std::string> UnsavedAmong(const std::vector<std::string>&) override { return {}; }
    void FilesRewritten(const std::vector<std::string>&) override {}
    std::unique_ptr<BenchDocument> document;
    std::string settings = "/tmp/kelvara-bench.ini";
};

std::unique_ptr<Tfrmfindtree> WindowWithTree() {
    auto window = std::make_unique<Tfrmfindtree>("/tmp/kelvara-bench.ini");
    window->show();
    window->AddDirectoryFiles(Tree());
    window->Files().TickAll();
    return window;
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

const char* Text(const benchmark::State& state) {
    return state.range(0) == 0 ? "kmalloc_array" : "static";
}

void BM_CommandLineFind(benchmark::State& state) {
    FileSet files;
    files.AddDirectoryFiles(Tree());
    files.TickAll();
    std::size_t hits = 0;
    for (auto _ : state) {
        ResultTree tree;
        std::vector<std::string> history;
        RunBatchFind(Text(state), history, files, {true, false, false}, tree, {});
        hits = tree.NodeCount() - tree.FileNodeCount();
    }
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_CommandLineFind)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_WindowFind(benchmark::State& state) {
    auto window = WindowWithTree();
    window->chkdaxiao->setChecked(true);
    window->cb1->setCurrentText(Text(state));
    PaintCounter counter;
    window->tv1->viewport()->installEventFilter(&counter);
    double seconds = 0;
    double firstRunPeak = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        window->Button2Click();
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        if (firstRunPeak == 0) firstRunPeak = PeakMegabytes();
    }
    state.counters["tree_repaints_per_s"] = counter.paints / seconds;
    // The first run in a fresh process, and all of them: a run must not
    // stack its peak on what an earlier one left.
    state.counters["peak_MB_one_run"] = firstRunPeak;
    state.counters["peak_MB"] = PeakMegabytes();
    // What the window keeps while it waits for the next command.
    state.counters["resident_MB_after"] = ResidentMegabytes();
    state.counters["hits"] =
        static_cast<double>(window->Tree().NodeCount() - window->Tree().FileNodeCount());
}
BENCHMARK(BM_WindowFind)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// From the stop button, pressed at the first slice of a run that has hits,
// to the end of the run. A run that ends before the stop is pressed times
// nothing: the benchmark says so instead of timing from no press at all.
void BM_StopLatency(benchmark::State& state) {
    auto window = WindowWithTree();
    window->cb1->setCurrentText("static");
    for (auto _ : state) {
        std::optional<Clock::time_point> pressed;
        QTimer stopper;
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            if (window->Tree().NodeCount() == 0) return;
            stopper.stop();
            pressed = Clock::now();
            window->Button4->click();
        });
        stopper.start(0);
        window->Button2Click();
        if (!pressed) {
            state.SkipWithError("the run ended before the stop was pressed");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - *pressed).count());
    }
}
BENCHMARK(BM_StopLatency)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The result tree of "static" (hundreds of thousands of hits), kept for
// the benchmarks that look at it; it goes before the application does.
std::unique_ptr<Tfrmfindtree> manyHits;

Tfrmfindtree& ManyHits() {
    if (!manyHits) {
        manyHits = WindowWithTree();
        manyHits->chkdaxiao->setChecked(true);
        manyHits->cb1->setCurrentText("static");
        manyHits->Button2Click();
        manyHits->tv1->collapseAll();
        QApplication::processEvents();
    }
    return *manyHits;
}

void BM_ExpandAll(benchmark::State& state) {
    Tfrmfindtree& window = ManyHits();
    for (auto _ : state) {
        window.tv1->ExpandAllFiles();
        QApplication::processEvents();
        state.PauseTiming();
        window.tv1->collapseAll();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["hits"] =
        static_cast<double>(window.Tree().NodeCount() - window.Tree().FileNodeCount());
}
BENCHMARK(BM_ExpandAll)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ScrollToEnd(benchmark::State& state) {
    Tfrmfindtree& window = ManyHits();
    window.tv1->ExpandAllFiles();
    for (auto _ : state) {
        window.tv1->scrollToBottom();
        QApplication::processEvents();
        state.PauseTiming();
        window.tv1->scrollToTop();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ScrollToEnd)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenLastHit(benchmark::State& state) {
    Tfrmfindtree& window = ManyHits();
    BenchFrame frame;
    window.SetFrame(&frame);
    ResultTreeModel& model = window.TreeModel();
    const QModelIndex lastFile = model.index(model.rowCount() - 1, 0);
    window.tv1->setCurrentIndex(model.index(model.rowCount(lastFile) - 1, 0, lastFile));
    for (auto _ : state) {
        window.N1Click();
        QApplication::processEvents();
    }
    window.SetFrame(nullptr);
}
BENCHMARK(BM_OpenLastHit)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PlainListing(benchmark::State& state) {
    std::size_t count = 0;
    for (auto _ : state) {
        count = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(Tree())) {
            if (entry.is_regular_file()) ++count;
        }
    }
    state.counters["files"] = static_cast<double>(count);
}
BENCHMARK(BM_PlainListing)->Unit(benchmark::kMillisecond)->Iterations(3);

// The walk alone, without a window: what the window adds to it is its own.
void BM_FileSetWalk(benchmark::State& state) {
    std::size_t count = 0;
    for (auto _ : state) {
        FileSet files;
        files.AddDirectoryFiles(Tree());
        count = files.Count();
    }
    state.counters["files"] = static_cast<double>(count);
}
BENCHMARK(BM_FileSetWalk)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WindowAddFolder(benchmark::State& state) {
    std::size_t count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<Tfrmfindtree>("/tmp/kelvara-bench.ini");
        window->show();
        state.ResumeTiming();
        window->AddDirectoryFiles(Tree());
        QApplication::processEvents();
        count = window->Files().Count();
    }
    state.counters["files"] = static_cast<double>(count);
}
BENCHMARK(BM_WindowAddFolder)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace kelvara

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    kelvara::GiveBackLargeBlocks(); // as the program does
    QApplication application(argc, argv);
    kelvara::SetAskUserSink([](const kelvara::MessageBoxRequest&) { return kelvara::kIdOk; });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    kelvara::manyHits.reset();
    return 0;
}
