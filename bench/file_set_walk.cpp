// Speed of the folder walk that fills the file set, on $KELVARA_TREE (the
// kernel tree of compare.sh, say) or else a generated tree of 2,000 files in
// nested folders.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "search/FileSet.h"

namespace kelvara {
namespace {

// Ten top folders, each with ten folders of twenty files.
std::string GeneratedTree() {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / "kelvara_bench_walk";
    if (std::filesystem::exists(root / "done")) return root.string();
    for (int top = 0; top < 10; ++top) {
        for (int sub = 0; sub < 10; ++sub) {
            const std::filesystem::path folder =
                root / ("dir" + std::to_string(top)) / ("sub" + std::to_string(sub));
            std::filesystem::create_directories(folder);
            for (int file = 0; file < 20; ++file)
                std::ofstream(folder / ("file" + std::to_string(file) + ".c")) << "int x;\n";
        }
    }
    std::ofstream(root / "done");
    return root.string();
}

std::string Tree() {
    const char* tree = std::getenv("KELVARA_TREE");
    return tree != nullptr && *tree != '\0' ? std::string(tree) : GeneratedTree();
}

void BM_WalkTree(benchmark::State& state) {
    const std::string tree = Tree();
    std::size_t files = 0;
    for (auto _ : state) {
        FileSet set;
        set.AddDirectoryFiles(tree);
        files = set.Count();
        benchmark::DoNotOptimize(files);
    }
    state.counters["files"] = static_cast<double>(files);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(files));
}
BENCHMARK(BM_WalkTree)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

} // namespace
} // namespace kelvara

BENCHMARK_MAIN();
