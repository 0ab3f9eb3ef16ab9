#include "searchui/EventPump.h"

#include <QCoreApplication>

namespace kelvara {

EventPump::EventPump(std::function<void()> showProgress, Clock::duration interval)
    : showProgress_(std::move(showProgress)), interval_(interval), next_(Clock::now() + interval) {}

void EventPump::operator()() {
    if (Clock::now() >= next_) Pump();
}

void EventPump::Pump() {
    if (showProgress_) showProgress_();
    QCoreApplication::processEvents();
    next_ = Clock::now() + interval_;
}

} // namespace kelvara
