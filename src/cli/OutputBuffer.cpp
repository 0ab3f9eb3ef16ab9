#include "cli/OutputBuffer.h"

#include <cerrno>

#include <unistd.h>

namespace kelvara {

OutputBuffer::OutputBuffer(int fd) : fd_(fd) { pending_.reserve(kChunk + kChunk / 4); }

void OutputBuffer::Flush() {
    std::size_t done = 0;
    while (error_ == 0 && done < pending_.size()) {
        const ssize_t written = write(fd_, pending_.data() + done, pending_.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0)
            error_ = errno;
        else if (written == 0)
            error_ = EIO;
        else
            done += static_cast<std::size_t>(written);
    }
    pending_.clear();
}

} // namespace kelvara
