#include "platform/TerminationSignal.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kelvara {

namespace {

int gSignalPipe[2] = {-1, -1};

// Only an async-signal-safe write happens in the handler itself.
void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(gSignalPipe[1], &byte, 1);
}

} // namespace

void OnTerminationSignal(QObject* context, std::function<void()> handler) {
    if (gSignalPipe[0] < 0 && pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [handler] {
        char bytes[16];
        while (read(gSignalPipe[0], bytes, sizeof bytes) > 0) {
        }
        handler();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

} // namespace kelvara
