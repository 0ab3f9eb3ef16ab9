#include "cli/DiffPrinter.h"

#include <ctime>

#include "cli/PathQuoting.h"
#include "common/CodePageConversion.h"
#include "common/LocaleCodePage.h"
#include "search/TextDiff.h"

namespace kelvara {

namespace {

constexpr std::size_t kContext = 3;

// "2026-12-09 10:15:30.123456789 +0000", as diff writes a time.
void AppendTime(std::string& out, const FileIdentity& identity) {
    const std::time_t seconds = identity.modifiedSeconds;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
    out.append(text, length);
    std::snprintf(text, sizeof text, ".%09lld +0000",
                  static_cast<long long>(identity.modifiedNanoseconds));
    out += text;
}

void AppendHeader(std::string& out, std::string_view mark, const std::string& path,
                  const FileIdentity& identity) {
    out.append(mark);
    AppendQuotedPath(out, path);
    out += '\t';
    AppendTime(out, identity);
    out += '\n';
}

} // namespace

DiffPrinter::DiffPrinter(OutputBuffer& out, bool forTerminal)
    : out_(out), forTerminal_(forTerminal) {}

void DiffPrinter::Changes(const std::string& path, const FileIdentity& identity,
                          std::string_view text, std::span<const Stretch> stretches,
                          std::string_view replacement, CodePage codePage) {
    std::string& out = out_.Pending();
    AppendHeader(out, "--- ", path, identity);
    AppendHeader(out, "+++ ", path, identity);
    if (!forTerminal_ || codePage == LocaleCodePage()) {
        UnifiedDiffPrinter printer(out);
        DiffReplaced(text, stretches, replacement, kContext, printer);
    } else {
        diff_.clear();
        UnifiedDiffPrinter printer(diff_);
        DiffReplaced(text, stretches, replacement, kContext, printer);
        RecodeLenient(diff_, codePage, LocaleCodePage(), out);
    }
    out_.Written();
}

} // namespace kelvara
