#pragma once

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvara {

// A fresh folder below the system's temporary folder, removed with its
// contents when the test ends.
class TestFolder {
public:
    TestFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kelvara-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(std::string_view relative) const {
        return path_ + "/" + std::string(relative);
    }

    // Writes a file (folders on its way are made).
    std::string Write(std::string_view relative, std::string_view bytes) const {
        std::string full = *this / relative;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary) << bytes;
        return full;
    }

    // Writes `name` below a chain of folders (from `relative` on) whose path
    // is longer than PATH_MAX, made through folder handles since the system
    // refuses such a path; returns the file's full path.
    std::string WriteDeep(std::string_view relative, std::string_view name,
                          std::string_view bytes) const {
        std::string full = *this / relative;
        std::filesystem::create_directories(full);
        int fd = open(full.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const std::string level(200, 'd');
        while (full.size() <= PATH_MAX) {
            mkdirat(fd, level.c_str(), 0755);
            const int next = openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            close(fd);
            fd = next;
            full += "/" + level;
        }
        const int file = openat(fd, std::string(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const bool written =
            write(file, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        close(file);
        close(fd);
        return written ? full + "/" + std::string(name) : std::string();
    }

    static std::string Read(const std::string& path) {
        if (path.size() >= PATH_MAX) return ReadDeep(path);
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    // Reads a file below a path longer than PATH_MAX, one folder at a time.
    static std::string ReadDeep(const std::string& path) {
        int fd = open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        std::size_t start = 1;
        for (std::size_t slash; (slash = path.find('/', start)) != std::string::npos;
             start = slash + 1) {
            const int next = openat(fd, path.substr(start, slash - start).c_str(),
                                    O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            close(fd);
            fd = next;
        }
        const int file = openat(fd, path.c_str() + start, O_RDONLY | O_CLOEXEC);
        close(fd);
        std::string bytes;
        char chunk[4096];
        for (ssize_t got; file >= 0 && (got = read(file, chunk, sizeof chunk)) > 0;)
            bytes.append(chunk, static_cast<std::size_t>(got));
        if (file >= 0) close(file);
        return bytes;
    }

    std::string path_;
};

} // namespace kelvara
