#include "common/PathHelpers.h"

namespace kelvara {

namespace {

// Index of the first byte after the last separator.
std::size_t NameStart(std::string_view path) {
    const std::size_t separator = path.rfind(kPathSeparator);
    return separator == path.npos ? 0 : separator + 1;
}

} // namespace

int LastPos(std::string_view text, char c) {
    const std::size_t found = text.rfind(c);
    return found == text.npos ? 0 : static_cast<int>(found) + 1;
}

std::string FileNameOfPath(std::string_view path) {
    return std::string(path.substr(NameStart(path)));
}

std::string WithTrailingBackslash(std::string_view text) {
    std::string result(text);
    if (result.empty() || result.back() != kPathSeparator) result.push_back(kPathSeparator);
    return result;
}

std::string DefaultExtension(std::string_view fileName, std::string_view extension) {
    std::string result(fileName);
    if (!result.empty() && ExtractFileExt(fileName).empty()) result.append(extension);
    return result;
}

std::string ExtractFileExt(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == path.npos || dot < NameStart(path)) return {};
    return std::string(path.substr(dot));
}

} // namespace kelvara
