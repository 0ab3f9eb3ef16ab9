#pragma once

#include <QObject>
#include <functional>

// SIGTERM and SIGHUP (logout, `kill`) as an ordinary event of the event loop,
// so the program closes as if the user closed its window.
namespace kelvara {

// Calls `handler` on the event loop of `context`'s thread for each signal.
void OnTerminationSignal(QObject* context, std::function<void()> handler);

} // namespace kelvara
