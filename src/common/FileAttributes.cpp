#include "common/FileAttributes.h"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace kelvara {

#ifdef __linux__

namespace {

constexpr std::string_view kCapability = "security.capability";
// The security label is the system's to give: a new file gets the label its
// folder's policy says, and removing it is not ours to do.
constexpr std::string_view kSecurityLabel = "security.selinux";

// The names of a file's attributes, each ending in a NUL byte; empty when the
// file system keeps none.
bool ListNames(const std::string* path, int fd, std::vector<char>& names) {
    for (;;) {
        const ssize_t size =
            path ? listxattr(path->c_str(), nullptr, 0) : flistxattr(fd, nullptr, 0);
        if (size < 0) {
            if (errno == ENOTSUP) {
                names.clear();
                return true;
            }
            return false;
        }
        names.resize(static_cast<std::size_t>(size));
        const ssize_t got = path ? listxattr(path->c_str(), names.data(), names.size())
                                 : flistxattr(fd, names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false; // ERANGE: a name was added meanwhile
    }
}

std::vector<std::string_view> Split(const std::vector<char>& names) {
    std::vector<std::string_view> split;
    for (std::size_t at = 0; at < names.size();) {
        const std::string_view name(names.data() + at);
        split.push_back(name);
        at += name.size() + 1;
    }
    return split;
}

// Reads one attribute's value; ENODATA when it went meanwhile.
bool ReadValue(const std::string& path, std::string_view name, std::vector<char>& value) {
    const std::string key(name);
    for (;;) {
        const ssize_t size = getxattr(path.c_str(), key.c_str(), nullptr, 0);
        if (size < 0) return false;
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = getxattr(path.c_str(), key.c_str(), value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
}

bool CopyOne(const std::string& fromPath, std::string_view name, int toFd,
             std::vector<char>& value) {
    if (!ReadValue(fromPath, name, value)) return errno == ENODATA;
    return fsetxattr(toFd, std::string(name).c_str(), value.data(), value.size(), 0) == 0;
}

} // namespace

bool CopyExtendedAttributes(const std::string& fromPath, int toFd) {
    std::vector<char> fromList;
    std::vector<char> toList;
    if (!ListNames(&fromPath, -1, fromList) || !ListNames(nullptr, toFd, toList)) return false;
    const std::vector<std::string_view> wanted = Split(fromList);
    std::vector<char> value;
    for (const std::string_view name : wanted) {
        if (name == kCapability) continue;
        if (!CopyOne(fromPath, name, toFd, value)) return false;
    }
    for (const std::string_view name : Split(toList)) {
        if (name == kSecurityLabel || std::find(wanted.begin(), wanted.end(), name) != wanted.end())
            continue;
        if (fremovexattr(toFd, std::string(name).c_str()) != 0 && errno != ENODATA) return false;
    }
    return true;
}

bool CopyFileCapability(const std::string& fromPath, int toFd) {
    std::vector<char> value;
    if (!ReadValue(fromPath, kCapability, value)) return errno == ENODATA || errno == ENOTSUP;
    return fsetxattr(toFd, std::string(kCapability).c_str(), value.data(), value.size(), 0) == 0;
}

#else

bool CopyExtendedAttributes(const std::string&, int) { return true; }
bool CopyFileCapability(const std::string&, int) { return true; }

#endif

} // namespace kelvara
