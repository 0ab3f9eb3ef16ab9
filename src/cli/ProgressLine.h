#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "search/BatchRun.h"

namespace kelvara {

// The one-line progress display of a long run on a terminal: files read and
// the current file, redrawn a few times a second on standard error. When
// standard error is not a terminal it shows nothing.
class ProgressLine : public BatchObserver {
public:
    ProgressLine();
    ~ProgressLine() override { Clear(); }

    void FileRead(int filesRead, const std::string& path) override;
    void NodesLeft(std::size_t) override {}
    // Removes the line, so that what follows starts on a clean line.
    void Clear();

private:
    using Clock = std::chrono::steady_clock;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point nextDraw_;
    std::string line_;
};

} // namespace kelvara
