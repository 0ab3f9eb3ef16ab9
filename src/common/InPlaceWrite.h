#pragma once

#include <string>
#include <string_view>

#include "common/FileError.h"

namespace kelvara {

// Replaces the content of the open file `fd`, which holds `oldBytes`, by
// `newBytes` without a new file: for files whose owner, hard links or folder
// a rename cannot keep. Nothing is written before the first byte that
// differs. A file that grows needs the free space first; then the new bytes
// are written, the file is cut to its new size and flushed to disk. If any of
// it fails, the old bytes are written back and the file gets its old size
// again. Errors name `path`.
[[nodiscard]] FileStatus WriteInPlace(const std::string& path, int fd, std::string_view oldBytes,
                                      std::string_view newBytes);

} // namespace kelvara
