#pragma once

#include <string>

#include <signal.h>

namespace kelvara {

// Keeps SIGINT, SIGTERM and SIGHUP from blocking on the calling thread while
// it lives, so that a temporary file's creation and its registration below
// happen as one step for a signal.
class TerminationSignalsBlocked {
public:
    TerminationSignalsBlocked();
    ~TerminationSignalsBlocked();
    TerminationSignalsBlocked(const TerminationSignalsBlocked&) = delete;
    TerminationSignalsBlocked& operator=(const TerminationSignalsBlocked&) = delete;

private:
    sigset_t saved_; // the thread's previous signal mask
};

// A named temporary file that is removed when SIGINT, SIGTERM or SIGHUP ends
// the process while the guard lives. A program that handles such a signal
// itself (the command line's first Ctrl-C stops the run) keeps its handler
// and its temporary files; the file goes only when the signal would end the
// process. A kill -9 cannot be caught: writers create unnamed files where the
// file system allows it, so that nothing is left then.
class TempFileGuard {
public:
    TempFileGuard() = default;
    ~TempFileGuard() { Release(); }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;

    // Removes the file `name` of the open folder `folderFd` should one of
    // the signals end the process; a file watched before is let go. The
    // folder must stay open while the file is watched.
    void Watch(int folderFd, const std::string& name);
    // The file is no longer removed on a signal (renamed or deleted).
    void Release();

private:
    int slot_ = -1;
};

} // namespace kelvara
