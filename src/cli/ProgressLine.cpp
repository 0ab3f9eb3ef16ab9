#include "cli/ProgressLine.h"

#include <unistd.h>

#include "common/MessageCatalogue.h"

namespace kelvara {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(200);
// Long paths are cut from the front so that the line never wraps.
constexpr std::size_t kMaxPathShown = 60;

void WriteAll(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (written <= 0) return;
        done += static_cast<std::size_t>(written);
    }
}

} // namespace

ProgressLine::ProgressLine()
    : enabled_(isatty(STDERR_FILENO) == 1), nextDraw_(Clock::now() + kRedrawInterval) {}

void ProgressLine::FileRead(int filesRead, const std::string& path) {
    if (!enabled_) return;
    const Clock::time_point now = Clock::now();
    if (now < nextDraw_) return;
    nextDraw_ = now + kRedrawInterval;
    line_.assign("\r\033[K");
    line_.append(std::to_string(filesRead));
    line_.append(Translate("kelvara::ProgressLine", " 个文件  "));
    if (path.size() > kMaxPathShown) {
        line_.append("...");
        line_.append(path, path.size() - kMaxPathShown);
    } else {
        line_.append(path);
    }
    WriteAll(line_);
    shown_ = true;
}

void ProgressLine::Clear() {
    if (!shown_) return;
    WriteAll("\r\033[K");
    shown_ = false;
}

} // namespace kelvara
