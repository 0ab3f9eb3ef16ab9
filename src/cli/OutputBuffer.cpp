#include "cli/OutputBuffer.h"

#include <cerrno>

#include <unistd.h>

namespace kelvara {

OutputBuffer::OutputBuffer(int fd) : fd_(fd) { pending_.reserve(kChunk + kChunk / 4); }

void OutputBuffer::Flush() {
    std::size_t done = 0;
    while (!failed_ && done < pending_.size()) {
        const ssize_t written = write(fd_, pending_.data() + done, pending_.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0)
            failed_ = true;
        else
            done += static_cast<std::size_t>(written);
    }
    pending_.clear();
}

} // namespace kelvara
