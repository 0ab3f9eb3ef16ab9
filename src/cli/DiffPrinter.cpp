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

} // namespace

DiffPrinter::DiffPrinter(OutputBuffer& out, bool forTerminal)
    : out_(out), forTerminal_(forTerminal), terminalPage_(LocaleCodePage()) {}

void DiffPrinter::Describe(const ChangedFile& file, std::string& out) const {
    // Both heads name the file alike: "--- PATH\tTIME" and "+++ PATH\tTIME".
    out += "--- ";
    const std::size_t name = out.size();
    AppendQuotedPath(out, file.path);
    out += '\t';
    AppendTime(out, file.identity);
    out += '\n';
    const std::size_t nameEnd = out.size();
    out += "+++ ";
    out.append(out, name, nameEnd - name);
    const std::size_t body = out.size();
    UnifiedDiffPrinter printer(out);
    DiffReplaced(file.text, file.stretches, file.replacement, kContext, printer, file.lines);
    if (forTerminal_ && file.codePage != terminalPage_) {
        const std::string lines = out.substr(body);
        out.resize(body);
        RecodeLenient(lines, file.codePage, terminalPage_, out);
    }
}

void DiffPrinter::Take(const std::string&, std::string_view described) { out_.Append(described); }

} // namespace kelvara
