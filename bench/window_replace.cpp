// The batch window driven offscreen: on a file of 10,000 hits, ticking and
// unticking the file node (its 10,000 hits follow), the preview of a hit as
// the selection moves and the file node's preview; on a whole tree,
// "替换所选" over every hit of a find, taking turns with `kelvara replace`
// over a copy of the same tree.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>
#include <QTreeView>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include "common/AskUser.h"
#include "searchui/ResultTreeModel.h"
#include "searchui/ResultTreeView.h"
#include "searchui/frmfindtree.h"

namespace kelvara {
namespace {

constexpr int kHits = 10000;

// A window after a find of "cat" in one file of kHits lines, each with a hit.
struct FoundWindow {
    FoundWindow() {
        folder = std::filesystem::temp_directory_path() / "kelvara-bench-ticks";
        std::filesystem::create_directories(folder);
        std::ofstream file(folder / "hits.txt");
        for (int line = 0; line < kHits; ++line)
            file << "line " << line << " holds a cat and more words after it\n";
        file.close();
        window = std::make_unique<Tfrmfindtree>((folder / "kelvara.ini").string());
        window->show();
        window->AddDirectoryFiles(folder.string());
        window->Files().TickAll();
        window->cb1->setCurrentText("cat");
        window->cb4->setCurrentText("dog");
        window->Button2Click();
        QApplication::processEvents();
    }
    ~FoundWindow() {
        window.reset();
        std::filesystem::remove_all(folder);
    }

    std::filesystem::path folder;
    std::unique_ptr<Tfrmfindtree> window;
};

void BM_TickFileOfTenThousandHits(benchmark::State& state) {
    FoundWindow found;
    ResultTreeModel& model = found.window->TreeModel();
    const QModelIndex file = model.index(0, 0);
    bool ticked = true;
    for (auto _ : state) {
        ticked = !ticked;
        model.setData(file, ticked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
        QApplication::processEvents();
    }
    state.counters["hits"] = model.rowCount(file);
}
BENCHMARK(BM_TickFileOfTenThousandHits)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_PreviewOfAHit(benchmark::State& state) {
    FoundWindow found;
    ResultTreeModel& model = found.window->TreeModel();
    const QModelIndex file = model.index(0, 0);
    int hit = 0;
    for (auto _ : state) {
        hit = (hit + 997) % kHits; // about the whole file
        found.window->tv1->setCurrentIndex(model.index(hit, 0, file));
        QApplication::processEvents();
    }
}
BENCHMARK(BM_PreviewOfAHit)->Unit(benchmark::kMillisecond)->Iterations(20);

// The file node's preview: the diff of all its 10,000 changed lines.
void BM_PreviewOfAFile(benchmark::State& state) {
    FoundWindow found;
    ResultTreeModel& model = found.window->TreeModel();
    const QModelIndex file = model.index(0, 0);
    for (auto _ : state) {
        found.window->tv1->setCurrentIndex(model.index(0, 0, file));
        QApplication::processEvents();
        found.window->tv1->setCurrentIndex(file);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_PreviewOfAFile)->Unit(benchmark::kMillisecond)->Iterations(5);

// The tree to replace in: KELVARA_CORPUS, else the kernel tree compare.sh
// unpacks.
std::filesystem::path Corpus() {
    if (const char* corpus = std::getenv("KELVARA_CORPUS")) return corpus;
    return std::filesystem::path(KELVARA_SOURCE_DIR) / "build/corpus/source";
}

// Where the copies, the settings and the journal go: KELVARA_SCRATCH, else
// /dev/shm, so that fsyncs are cheap and the disk does not decide the race.
std::filesystem::path Scratch() {
    if (const char* scratch = std::getenv("KELVARA_SCRATCH")) return scratch;
    if (std::filesystem::is_directory("/dev/shm")) return "/dev/shm/kelvara-bench-chosen";
    return std::filesystem::temp_directory_path() / "kelvara-bench-chosen";
}

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Wall and processor time (user and system) of one timed stretch.
struct Timing {
    double wall = 0;
    double cpu = 0;
    bool failed = false; // the program's exit status was 1
};

// Runs a program to its end, standard output thrown away; its times. An exit
// status above 1 (or a signal) throws.
Timing RunProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) throw std::runtime_error("cannot start " + args[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        throw std::runtime_error(args[0] + " " + args[1] + " failed");
    return {std::chrono::duration<double>(end - start).count(),
            Seconds(usage.ru_utime) + Seconds(usage.ru_stime), WEXITSTATUS(status) == 1};
}

double ProcessCpu() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

// While it lives: the events the application delivers, and the longest time
// the window went without processing any (a timer asks at every pass).
class Responsiveness : public QObject {
public:
    Responsiveness() {
        qApp->installEventFilter(this);
        connect(&timer_, &QTimer::timeout, this,
                [this] { longest_ = std::max(longest_, clock_.restart()); });
        timer_.start(1);
        clock_.start();
    }
    ~Responsiveness() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent*) override {
        ++events_;
        return false;
    }

    long long Events() const { return events_; }
    // In milliseconds, the wait still going on included.
    qint64 LongestWait() const { return std::max(longest_, clock_.elapsed()); }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    long long events_ = 0;
    qint64 longest_ = 0;
};

struct ChosenFigures {
    Timing replace;
    long long events = 0;
    qint64 longestWait = 0;
    std::size_t hits = 0;
    std::size_t written = 0;
};

// A window finds "static" (letter case counting) in every file of `tree`, all
// hits ticked, and "替换所选" replaces them by "X"; only the replace is timed.
ChosenFigures ReplaceTickedInWindow(const std::filesystem::path& tree) {
    Tfrmfindtree window((Scratch() / "window.ini").string());
    window.show();
    window.AddDirectoryFiles(tree.string());
    window.Files().TickAll();
    window.chkdaxiao->setChecked(true);
    window.cb1->setCurrentText("static");
    window.cb4->setCurrentText("X");
    window.Button2Click();
    QApplication::processEvents();
    ChosenFigures figures;
    figures.hits = window.Tree().NodeCount() - window.Tree().FileNodeCount();
    Responsiveness watch;
    const double cpu = ProcessCpu();
    const auto start = std::chrono::steady_clock::now();
    window.ReplaceTickedClick();
    const auto end = std::chrono::steady_clock::now();
    figures.replace = {std::chrono::duration<double>(end - start).count(), ProcessCpu() - cpu};
    figures.events = watch.Events();
    figures.longestWait = watch.LongestWait();
    figures.written = window.Tree().FileNodeCount();
    return figures;
}

// "替换所选" over every hit of "static" in the corpus, against `kelvara
// replace -y --case static X` over another fresh copy, both with the journal.
// The two take turns, the one to go first changing each round, and must leave
// the same bytes. Counters are means per round: wall and processor seconds of
// each, the events the window processed during its replace and the longest it
// went without.
void BM_ReplaceTickedAgainstCommandLine(benchmark::State& state) {
    if (!std::filesystem::is_directory(Corpus())) {
        state.SkipWithError("no corpus: set KELVARA_CORPUS to a folder tree");
        return;
    }
    const std::filesystem::path byWindow = Scratch() / "window";
    const std::filesystem::path byLine = Scratch() / "cli";
    setenv("XDG_STATE_HOME", (Scratch() / "state").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (Scratch() / "config").c_str(), 1);
    std::filesystem::create_directories(Scratch() / "config");
    double windowWall = 0, windowCpu = 0, lineWall = 0, lineCpu = 0, events = 0, longest = 0;
    ChosenFigures window;
    int round = 0;
    for (auto _ : state) {
        for (const std::filesystem::path& copy : {byWindow, byLine, Scratch() / "state"})
            std::filesystem::remove_all(copy);
        RunProgram({"cp", "-a", Corpus().string(), byWindow.string()});
        RunProgram({"cp", "-a", Corpus().string(), byLine.string()});
        Timing line;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn + round) % 2 == 0)
                window = ReplaceTickedInWindow(byWindow);
            else
                line = RunProgram({KELVARA_EXECUTABLE, "replace", "-y", "--case", "static", "X",
                                   byLine.string()});
        }
        if (RunProgram({"diff", "-r", "-q", "--no-dereference", byWindow.string(), byLine.string()})
                .failed) {
            state.SkipWithError("the window and the command line wrote different bytes");
            break;
        }
        state.SetIterationTime(window.replace.wall);
        std::fprintf(stderr,
                     "round %d: window %.2f s (CPU %.2f s), kelvara replace %.2f s "
                     "(CPU %.2f s), %lld events, longest wait %lld ms\n",
                     round + 1, window.replace.wall, window.replace.cpu, line.wall, line.cpu,
                     window.events, static_cast<long long>(window.longestWait));
        windowWall += window.replace.wall;
        windowCpu += window.replace.cpu;
        lineWall += line.wall;
        lineCpu += line.cpu;
        events += static_cast<double>(window.events);
        longest = std::max(longest, static_cast<double>(window.longestWait));
        ++round;
    }
    std::filesystem::remove_all(Scratch());
    using benchmark::Counter;
    state.counters["hits"] = static_cast<double>(window.hits);
    state.counters["files"] = static_cast<double>(window.written);
    state.counters["window_s"] = Counter(windowWall, Counter::kAvgIterations);
    state.counters["window_cpu_s"] = Counter(windowCpu, Counter::kAvgIterations);
    state.counters["cli_s"] = Counter(lineWall, Counter::kAvgIterations);
    state.counters["cli_cpu_s"] = Counter(lineCpu, Counter::kAvgIterations);
    state.counters["events"] = Counter(events, Counter::kAvgIterations);
    state.counters["longest_wait_ms"] = longest;
    state.counters["wall_ratio"] = windowWall / lineWall;
    state.counters["cpu_ratio"] = windowCpu / lineCpu;
}

} // namespace
} // namespace kelvara

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Every question is answered Yes ("确定要替换吗？"), every notice taken.
    kelvara::SetAskUserSink([](const kelvara::MessageBoxRequest&) { return kelvara::kIdYes; });
    benchmark::Initialize(&argc, argv);
    // Rounds of the whole-tree race: KELVARA_RUNS, else 3.
    const char* runs = std::getenv("KELVARA_RUNS");
    benchmark::RegisterBenchmark("BM_ReplaceTickedAgainstCommandLine",
                                 kelvara::BM_ReplaceTickedAgainstCommandLine)
        ->UseManualTime()
        ->Unit(benchmark::kSecond)
        ->Iterations(runs != nullptr ? std::atoi(runs) : 3);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
