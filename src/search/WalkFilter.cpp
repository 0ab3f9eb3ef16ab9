#include "search/WalkFilter.h"

#include <fcntl.h>
#include <unistd.h>

#include "common/FileAccess.h"

namespace kelvara {

namespace {

// An ignore file larger than this is not a list of patterns.
constexpr std::size_t kMaxIgnoreFile = 1u << 20;

std::string ReadSmallFile(int folderFd, const char* name) {
    FileHandle file(openat(folderFd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    std::string bytes;
    if (file.Get() < 0) return bytes;
    struct stat info {};
    if (fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return bytes;
    char chunk[4096];
    for (ssize_t got;
         bytes.size() < kMaxIgnoreFile && (got = read(file.Get(), chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, static_cast<std::size_t>(got));
    return bytes;
}

// A line of an ignore file as a glob: blank lines and "#" comments are none;
// trailing blanks go unless escaped.
std::string_view RuleOfLine(std::string_view line) {
    if (line.ends_with('\r')) line.remove_suffix(1);
    while (line.ends_with(' ') && !line.ends_with("\\ "))
        line.remove_suffix(1);
    if (line.starts_with('#')) return {};
    return line;
}

} // namespace

bool WalkFilter::AddGlob(std::string_view glob, std::string& error) {
    std::optional<PathGlob> parsed = PathGlob::Parse(glob, error);
    if (!parsed) return false;
    including_ = including_ || !parsed->Negated();
    globs_.push_back(std::move(*parsed));
    return true;
}

void WalkFilter::ReadRules(int folderFd, const char* name, std::vector<PathGlob>& rules) {
    rules.clear();
    const std::string bytes = ReadSmallFile(folderFd, name);
    std::string ignored;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        const std::string_view rule =
            RuleOfLine(std::string_view(bytes).substr(start, end - start));
        // As git does, a line that is no usable pattern is passed over.
        if (!rule.empty()) {
            if (std::optional<PathGlob> glob = PathGlob::Parse(rule, ignored))
                rules.push_back(std::move(*glob));
        }
        start = end + 1;
    }
}

void WalkFilter::EnterFolder(int folderFd, std::string_view relative) {
    if (relative.empty()) depth_ = 0;
    if (!ignoreFiles_) return;
    if (levels_.size() == depth_) levels_.emplace_back();
    Level& level = levels_[depth_++];
    level.base = relative.empty() ? 0 : relative.size() + 1;
    ReadRules(folderFd, ".ignore", level.ignore);
    ReadRules(folderFd, ".gitignore", level.gitignore);
}

void WalkFilter::LeaveFolder() {
    if (ignoreFiles_ && depth_ > 0) --depth_;
}

const PathGlob* WalkFilter::LastMatch(const std::vector<PathGlob>& globs, std::string_view relative,
                                      bool isFolder) {
    for (auto glob = globs.rbegin(); glob != globs.rend(); ++glob) {
        if (glob->Matches(relative, isFolder)) return &*glob;
    }
    return nullptr;
}

bool WalkFilter::Takes(std::string_view relative, bool isFolder) const {
    // The user's globs include, or exclude when negated.
    if (const PathGlob* glob = LastMatch(globs_, relative, isFolder)) return !glob->Negated();
    if (including_ && !isFolder) return false;
    // An ignore file's lines leave out, or take back in when negated.
    for (std::size_t i = depth_; i-- > 0;) {
        const Level& level = levels_[i];
        const std::string_view inside = relative.substr(level.base);
        for (const std::vector<PathGlob>* rules : {&level.ignore, &level.gitignore}) {
            if (const PathGlob* rule = LastMatch(*rules, inside, isFolder)) return rule->Negated();
        }
    }
    return true;
}

} // namespace kelvara
