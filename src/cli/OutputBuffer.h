#pragma once

#include <string>
#include <string_view>

namespace kelvara {

// Collects output in one large buffer and writes it to a file descriptor in
// big pieces: a run with a million hits makes a few dozen write calls.
class OutputBuffer {
public:
    explicit OutputBuffer(int fd);
    ~OutputBuffer() { Flush(); }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // Appends directly to the pending bytes; call Written() afterwards.
    std::string& Pending() noexcept { return pending_; }
    // Writes the pending bytes once there are enough of them.
    void Written() {
        if (pending_.size() >= kChunk) Flush();
    }
    void Append(std::string_view bytes) {
        pending_.append(bytes);
        Written();
    }
    void Flush();
    // The system's error number of the first failed write (the rest of the
    // output is then dropped); 0 while every write succeeded.
    int Error() const noexcept { return error_; }

private:
    static constexpr std::size_t kChunk = 1u << 20;
    int fd_;
    std::string pending_;
    int error_ = 0;
};

} // namespace kelvara
