// The INI reader and writer: a file nothing was written to comes back byte
// for byte; written keys read back what was written; keys not written read
// as before; every line the writes did not change is kept, break included.
#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/AnsiString.h"
#include "common/IniFile.h"
#include "common/LineFile.h"
#include "fuzz/FuzzInput.h"

using namespace kelvara;

namespace {

// Names that read back as written (no blanks around them, no "=" or "]", no ";" first),
// in two letter cases.
constexpr std::array<std::string_view, 8> kSections = {"a", "A",   "b",        "lastopened",
                                                       "",  "s p", "MenuMenu", "k"};
constexpr std::array<std::string_view, 8> kKeys = {"k",        "K",   "a", "count",
                                                   "0.opened", "x y", "c", "b"};

struct Line {
    std::string_view text;
    LineEnd end;
};

std::vector<Line> LinesOf(std::string_view bytes) {
    std::vector<LineSpan> spans;
    SplitAllLines(bytes, spans);
    std::vector<Line> lines;
    for (const LineSpan& span : spans)
        lines.push_back({bytes.substr(span.start, span.length), span.end});
    return lines;
}

// The text up to and including the first "=", when the line has one.
std::string_view KeyPart(std::string_view text) {
    const std::size_t equals = text.find('=');
    return equals == text.npos ? std::string_view() : text.substr(0, equals + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    std::size_t length = input.Byte();
    length |= static_cast<std::size_t>(input.Byte()) << 8;
    const std::string original(input.Remaining().substr(0, length));
    input.Remaining().remove_prefix(original.size());

    TIniFile ini("fuzz.ini", original);
    fuzz::Require(ini.Contents() == original, "a file nothing was written to stays as it was");
    std::map<std::pair<std::string, std::string>, std::string> before;
    for (const std::string_view section : kSections)
        for (const std::string_view key : kKeys)
            before[{LowerCase(section), LowerCase(key)}] = ini.ReadString(section, key, "\x01");

    std::map<std::pair<std::string, std::string>, std::string> written;
    std::set<std::string> writtenKeys;
    while (!input.Empty()) {
        const std::string_view section = kSections[input.Byte() % kSections.size()];
        const std::string_view key = kKeys[input.Byte() % kKeys.size()];
        const std::string_view value = input.Bytes(16);
        ini.WriteString(section, key, value);
        // A value ends at a line break or NUL and reads back without blanks.
        const std::string_view kept = value.substr(0, value.find_first_of({"\r\n\0", 3}));
        written[{LowerCase(section), LowerCase(key)}] = std::string(TrimView(kept));
        writtenKeys.insert(LowerCase(key));
    }

    const std::string contents = ini.Contents();
    const TIniFile again("fuzz.ini", contents);
    for (const auto& [name, value] : before) {
        const auto found = written.find(name);
        const std::string expected = found == written.end() ? value : found->second;
        fuzz::Require(again.ReadString(name.first, name.second, "\x01") == expected,
                      "every key reads back what was written last, or what it read before");
    }

    // The lines of the original stand in the new file in order, each with its
    // break (a last line without one may gain one); a written key's line keeps
    // its key.
    const std::vector<Line> old = LinesOf(original);
    std::size_t matched = 0;
    for (const Line& line : LinesOf(contents)) {
        if (matched == old.size()) break;
        const Line& want = old[matched];
        const bool lastWithoutBreak = matched + 1 == old.size() && want.end == LineEnd::None;
        const bool sameEnd = line.end == want.end || lastWithoutBreak;
        const std::string_view key = KeyPart(want.text);
        const bool rewritten =
            !key.empty() && KeyPart(line.text) == key &&
            writtenKeys.count(LowerCase(TrimView(key.substr(0, key.size() - 1))));
        if (sameEnd && (line.text == want.text || rewritten)) ++matched;
    }
    fuzz::Require(matched == old.size(), "every line of the file is kept, with its break");
    return 0;
}
