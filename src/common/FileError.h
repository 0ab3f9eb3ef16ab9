#pragma once

#include <optional>
#include <string>
#include <system_error>

namespace kelvara {

// A failed file operation: which path, and the system's reason in words.
struct FileError {
    std::string path;
    std::string reason;

    // "path: reason", ready for a message box or standard error.
    std::string Message() const { return path + ": " + reason; }
};

// Empty on success.
using FileStatus = std::optional<FileError>;

// The system's words for an error number.
inline std::string SystemReason(int error) { return std::generic_category().message(error); }
// The error of `path` with the system's words for `error`.
inline FileError SystemError(const std::string& path, int error) {
    return FileError{path, SystemReason(error)};
}

} // namespace kelvara
