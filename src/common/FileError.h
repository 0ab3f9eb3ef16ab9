#pragma once

#include <optional>
#include <string>

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

} // namespace kelvara
