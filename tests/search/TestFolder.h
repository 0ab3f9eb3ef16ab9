#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

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

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::string path_;
};

} // namespace kelvara
