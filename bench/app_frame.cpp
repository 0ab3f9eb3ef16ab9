// The desktop program: start to frame shown, a session of 20 files of 100 KB,
// and one 50 MB file (UTF-8, GBK, UTF-16 or ASCII) into the plain view, and
// into the highlighted view.
#include <QApplication>
#include <QLocalSocket>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "app/MainForm.h"
#include "app/MdiChild.h"
#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "common/FileEncoding.h"
#include "common/ProcessValues.h"
#include "platform/SingleInstance.h"

namespace kelvara {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

fs::path BenchFolder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "kelvara-bench-XXXXXX").string();
        return fs::path(mkdtemp(pattern.data()));
    }();
    return folder;
}

// About 100 bytes per line, Chinese and ASCII mixed.
std::string Text(std::size_t bytes) {
    const std::string line = "int main() { return 0; } // 批量查找替换 Kelvara 文本 line of text\n";
    std::string text;
    text.reserve(bytes + line.size());
    while (text.size() < bytes)
        text += line;
    text.resize(bytes);
    return text;
}

std::string WriteFile(const std::string& name, const std::string& bytes) {
    const fs::path path = BenchFolder() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

// From starting the program (copied with its window part into a folder of its
// own, empty session) to its frame shown: it listens for later starts right
// after the frame shows.
void BM_StartToFrameShown(benchmark::State& state) {
    const fs::path folder = BenchFolder() / "program";
    fs::create_directories(folder);
    const fs::path program = folder / "kelvara";
    fs::copy_file(KELVARA_EXECUTABLE, program, fs::copy_options::overwrite_existing);
    fs::copy_file(KELVARA_WINDOW_MODULE_FILE, folder / "kelvara-window.so",
                  fs::copy_options::overwrite_existing);
    const QString server = SingleInstance::ServerName((folder / "kelvara.ini").string());
    for (auto _ : state) {
        // An empty kelvara.ini beside the program keeps it portable: it reads
        // its settings there, names its instance after them, and a fresh start
        // is timed without touching the user's own settings.
        std::ofstream(folder / "kelvara.ini", std::ios::trunc);
        const auto start = Clock::now();
        const pid_t child = fork();
        if (child == 0) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            execl(program.c_str(), "kelvara", static_cast<char*>(nullptr));
            _exit(127);
        }
        QLocalSocket probe;
        bool shown = false;
        while (!shown && Clock::now() - start < std::chrono::seconds(20)) {
            probe.connectToServer(server);
            shown = probe.waitForConnected(100);
            if (!shown) usleep(500);
        }
        if (!shown) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            state.SkipWithError("the program showed no frame within 20 s");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        probe.disconnectFromServer();
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
}
BENCHMARK(BM_StartToFrameShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// A frame reopening the 20 files of the previous run.
void BM_Session20Files100KB(benchmark::State& state) {
    const std::string text = Text(100 * 1024);
    std::string settings = "[lastopened]\ncount=20\n";
    for (int i = 0; i < 20; ++i)
        settings += std::to_string(i) +
                    ".opened=" + WriteFile("session" + std::to_string(i) + ".txt", text) + "\n";
    for (auto _ : state) {
        const std::string ini = WriteFile("session.ini", settings);
        TMainForm frame(ini, BenchFolder().string());
        frame.show();
        QApplication::processEvents();
        if (frame.Documents().size() != 20) state.SkipWithError("the session did not open");
        state.PauseTiming();
        frame.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Session20Files100KB)->Unit(benchmark::kMillisecond)->Iterations(5);

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// One 50 MB file in each encoding a document can have, its encoding told
// from its bytes when it opens.
struct BigFile {
    std::string label;
    std::string bytes;
    std::string_view encoding; // the name the document shows
};

BigFile BigFileIn(int encoding) {
    const std::string utf8 = Text(50 << 20);
    switch (encoding) {
    case 1: {
        std::string gbk;
        RecodeLenient(utf8, CodePage::Utf8, CodePage::Gbk, gbk);
        return {"GBK", gbk, "GBK"};
    }
    case 2: {
        std::string utf16;
        (void)AppendFileBytes(utf8, {CodePage::Utf8, true, Utf16Order::LittleEndian}, utf16);
        return {"UTF-16LE", utf16, "UTF-16LE"};
    }
    case 3: {
        std::string ascii = utf8;
        std::replace_if(
            ascii.begin(), ascii.end(), [](char c) { return c & 0x80; }, 'x');
        // Pure ASCII takes the default code page.
        return {"ASCII", ascii, EncodingName(PlainEncoding(TextCodePage()))};
    }
    default:
        return {"UTF-8", utf8, "UTF-8"};
    }
}

// A frame with one 50 MB file opened: the plain view shown and a key typed
// into it (the time until the user can edit). detect_ms: telling the
// encoding alone, timed apart on the same bytes.
void BM_Open50MBPlainView(benchmark::State& state) {
    const BigFile file = BigFileIn(static_cast<int>(state.range(0)));
    const std::string path = WriteFile("big.txt", file.bytes);
    const std::string ini = (BenchFolder() / "big.ini").string();
    double detect = 0;
    for (auto _ : state) {
        fs::remove(ini);
        auto frame = std::make_unique<TMainForm>(ini, BenchFolder().string());
        frame->show();
        QApplication::processEvents();
        const auto start = Clock::now();
        frame->OpenDocument(path);
        QApplication::processEvents();
        frame->ActiveChild()->Memo1().KeyPress('x');
        QApplication::processEvents();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (EncodingName(frame->ActiveChild()->Encoding()) != file.encoding)
            state.SkipWithError("the file was taken in another encoding");
        frame.reset();
        const auto detecting = Clock::now();
        benchmark::DoNotOptimize(DetectEncoding(file.bytes, {CodePage::Utf8, std::nullopt}));
        detect += Milliseconds(Clock::now() - detecting);
    }
    state.SetLabel(file.label);
    state.counters["detect_ms"] = detect / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Open50MBPlainView)
    ->DenseRange(0, 3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Then its highlighted page shown (the time until it is drawn), and the
// events processed until its text is coloured: how long that takes, and the
// longest the window waited for one step of it.
void BM_Open50MBHighlightedPage(benchmark::State& state) {
    const std::string path = WriteFile("big.txt", Text(50 << 20));
    const std::string ini = (BenchFolder() / "big.ini").string();
    double coloured = 0;
    double longest = 0;
    for (auto _ : state) {
        fs::remove(ini);
        auto frame = std::make_unique<TMainForm>(ini, BenchFolder().string());
        frame->show();
        frame->OpenDocument(path);
        QApplication::processEvents();
        TMDIChild* window = frame->ActiveChild();
        const auto start = Clock::now();
        window->ShowPage(1);
        QApplication::processEvents();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        while (window->Memohun().PendingScanFrom() > 0) {
            const auto step = Clock::now();
            QApplication::processEvents();
            longest = std::max(longest, Milliseconds(Clock::now() - step));
        }
        coloured += Milliseconds(Clock::now() - start);
        frame.reset();
    }
    state.counters["coloured_ms"] = coloured / static_cast<double>(state.iterations());
    state.counters["longest_step_ms"] = longest;
}
BENCHMARK(BM_Open50MBHighlightedPage)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
} // namespace kelvara

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    kelvara::SetAskUserSink(
        [](const kelvara::MessageBoxRequest& request) { return request.style.defaultButton; });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(kelvara::BenchFolder(), ignored);
    return 0;
}
