#pragma once

#include <cstdio>
#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelvara {

// Address-space limits cannot be tested under AddressSanitizer or
// ThreadSanitizer, which reserve terabytes of address space for themselves.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kAddressSpaceLimitable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kAddressSpaceLimitable = false;
#else
inline constexpr bool kAddressSpaceLimitable = true;
#endif
#else
inline constexpr bool kAddressSpaceLimitable = true;
#endif

// Runs `body` in a forked child and waits for it: its return value as the
// exit status (125 for an exception), or 128 + the signal that ended it. The
// child never returns into the test.
inline int RunInChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        int status = 125;
        try {
            status = body();
        } catch (...) {
        }
        _exit(status);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Becomes the user nobody when running as root; false when that fails.
inline bool BecomeNobody() { return geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0); }

// Limits the process to the address space it uses now plus `extra` bytes.
inline bool LimitAddressSpace(std::size_t extra) {
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    if (pages <= 0) return false;
    const rlim_t limit = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + extra;
    const struct rlimit rl { limit, limit };
    return setrlimit(RLIMIT_AS, &rl) == 0;
}

} // namespace kelvara
