// The batch window's ticks and replace preview on a file of 10,000 hits,
// driven offscreen: ticking and unticking the file node (its 10,000 hits
// follow), and the preview of a hit as the selection moves.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QTreeView>

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

} // namespace
} // namespace kelvara

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    kelvara::SetAskUserSink([](const kelvara::MessageBoxRequest&) { return kelvara::kIdOk; });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
