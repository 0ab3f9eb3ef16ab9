#pragma once

#include <chrono>
#include <functional>

namespace kelvara {

// The yield hook of a window's long runs: called for every line or folder
// entry, it lets the window show its progress and process its events at most
// once per interval, so the window stays live without paying for event
// processing on every call.
class EventPump {
public:
    using Clock = std::chrono::steady_clock;

    // `showProgress` runs before the events of each slice are processed.
    explicit EventPump(std::function<void()> showProgress,
                       Clock::duration interval = std::chrono::milliseconds(20));

    void operator()();
    void SetInterval(Clock::duration interval) {
        interval_ = interval;
        next_ = Clock::now() + interval;
    }
    // Shows the progress and processes the events now.
    void Pump();

private:
    std::function<void()> showProgress_;
    Clock::duration interval_;
    Clock::time_point next_;
};

} // namespace kelvara
