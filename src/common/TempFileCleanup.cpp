#include "common/TempFileCleanup.h"

#include <array>
#include <atomic>
#include <climits>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace kelvara {

namespace {

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};
constexpr int kSlotCount = 16;

// Written by the owning thread before `used` is set, read by the handler.
struct Slot {
    std::atomic<bool> used{false};
    int folderFd = -1;
    char name[NAME_MAX + 1];
};

Slot gSlots[kSlotCount];
std::mutex gMutex; // guards installing and restoring the handlers
int gRegistered = 0;
struct sigaction gPrevious[kSignals.size()];

sigset_t TerminationSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kSignals)
        sigaddset(&set, signal);
    return set;
}

std::size_t IndexOf(int signal) {
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        if (kSignals[i] == signal) return i;
    return 0;
}

// Only async-signal-safe calls from here on.
void OnTerminationSignal(int signal, siginfo_t* info, void* context) {
    struct sigaction& previous = gPrevious[IndexOf(signal)];
    if (previous.sa_handler == SIG_IGN) return;
    if (previous.sa_handler != SIG_DFL) {
        // The program handles the signal and goes on; its files are still in use.
        if (previous.sa_flags & SA_SIGINFO)
            previous.sa_sigaction(signal, info, context);
        else
            previous.sa_handler(signal);
        if (previous.sa_flags & SA_RESETHAND) {
            previous.sa_flags &= ~(SA_SIGINFO | SA_RESETHAND);
            previous.sa_handler = SIG_DFL;
        }
        return;
    }
    for (Slot& slot : gSlots)
        if (slot.used.load()) unlinkat(slot.folderFd, slot.name, 0);
    ::signal(signal, SIG_DFL);
    raise(signal); // delivered with the default action once the handler returns
}

void InstallHandlers() {
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        struct sigaction action {};
        sigaction(kSignals[i], nullptr, &gPrevious[i]);
        action.sa_sigaction = OnTerminationSignal;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        action.sa_mask = gPrevious[i].sa_mask;
        sigaction(kSignals[i], &action, nullptr);
    }
}

// A handler that the program set meanwhile stays.
void RestoreHandlers() {
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        struct sigaction current {};
        sigaction(kSignals[i], nullptr, &current);
        if ((current.sa_flags & SA_SIGINFO) && current.sa_sigaction == OnTerminationSignal)
            sigaction(kSignals[i], &gPrevious[i], nullptr);
    }
}

} // namespace

TerminationSignalsBlocked::TerminationSignalsBlocked() {
    const sigset_t set = TerminationSignals();
    pthread_sigmask(SIG_BLOCK, &set, &saved_);
}

TerminationSignalsBlocked::~TerminationSignalsBlocked() {
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

void TempFileGuard::Watch(int folderFd, const std::string& name) {
    Release();
    if (name.size() > NAME_MAX) return; // left behind at worst, never a wrong file removed
    const std::lock_guard lock(gMutex);
    for (int i = 0; i < kSlotCount; ++i) {
        Slot& slot = gSlots[i];
        if (slot.used.load()) continue;
        slot.folderFd = folderFd;
        std::memcpy(slot.name, name.c_str(), name.size() + 1);
        if (gRegistered++ == 0) InstallHandlers();
        slot.used.store(true);
        slot_ = i;
        return;
    }
}

void TempFileGuard::Release() {
    if (slot_ < 0) return;
    const std::lock_guard lock(gMutex);
    gSlots[slot_].used.store(false);
    slot_ = -1;
    if (--gRegistered == 0) RestoreHandlers();
}

} // namespace kelvara
