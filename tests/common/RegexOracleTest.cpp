// Regex hits and replacements against Python's re on the same decoded lines,
// over a seeded random set of patterns, lines and options in UTF-8 and GBK.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "common/AnsiString.h"
#include "common/CodePageConversion.h"
#include "common/Regex.h"
#include "common/RegexReplacement.h"

namespace kelvara {
namespace {

// Python is told each line as its characters (code point and bytes, as
// Kelvara decodes them) and maps its match positions back to bytes itself.
constexpr const char* kOracle = R"(
import json, re, sys
for text in open(sys.argv[1], encoding='utf-8'):
    case = json.loads(text)
    chars = case['chars']
    line = ''.join(chr(c) for c, _ in chars)
    offsets = [0]
    for _, length in chars:
        offsets.append(offsets[-1] + length)
    raw = bytes.fromhex(case['line'])
    pattern = case['pattern']
    if case['word']:
        pattern = '(?<![^ ])(?:' + pattern + ')(?![^ ])'
    flags = re.ASCII | (re.IGNORECASE if case['caseless'] else 0)
    regex = re.compile(pattern, flags)
    hits, out, copied = [], b'', 0
    for m in regex.finditer(line):
        if m.end() == m.start():
            continue
        start, end = offsets[m.start()], offsets[m.end()]
        hits.append('%d-%d' % (start, end))
        out += raw[copied:start]
        for kind, value in case['replacement']:
            if kind == 'text':
                out += value.encode(case['encoding'])
            else:
                group = m.span(value)
                if group[0] >= 0:
                    out += raw[offsets[group[0]]:offsets[group[1]]]
        copied = end
    out += raw[copied:]
    print(' '.join(hits) + '|' + out.hex())
)";

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char byte : bytes) {
        hex.push_back(kDigits[static_cast<unsigned char>(byte) >> 4]);
        hex.push_back(kDigits[static_cast<unsigned char>(byte) & 0xF]);
    }
    return hex;
}

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    std::string Pattern(int depth = 0) {
        std::string pattern;
        if (Chance(10)) pattern += "^";
        for (int pieces = 1 + Below(3); pieces > 0; --pieces)
            pattern += Piece(depth);
        if (depth < 2 && Chance(15)) pattern += "|" + Piece(depth);
        if (Chance(10)) pattern += "$";
        return pattern;
    }

    // Lines in UTF-8 (recoded for GBK cases), now and then with a byte that
    // is valid in neither code page.
    std::string Line() {
        static const std::vector<std::string> kAlphabet = {"a", "A", "b",  "B",  "c", "1",  " ",
                                                           "_", "-", "中", "文", "x", "\t", "."};
        std::string line;
        for (int count = Below(16); count > 0; --count) {
            if (Chance(5)) {
                line += Chance(50) ? "\xFF" : "\x80";
                continue;
            }
            line += kAlphabet[Below(static_cast<int>(kAlphabet.size()))];
        }
        return line;
    }

    // A replacement with its parts: ("text", utf8) or ("group", n).
    std::string Replacement(std::size_t groups, std::string& parts) {
        std::string text;
        parts = "[";
        for (int count = Below(4); count > 0; --count) {
            if (!parts.ends_with('[')) parts += ",";
            const int group = Below(static_cast<int>(groups) + 1);
            if (Chance(50)) {
                text +=
                    Chance(50) ? "$" + std::to_string(group) : "${" + std::to_string(group) + "}";
                parts += "[\"group\"," + std::to_string(group) + "]";
            } else {
                const std::string literal = Chance(50) ? "和" : "<$$>";
                text += literal;
                parts += std::string("[\"text\",") + (literal == "和" ? "\"和\"" : "\"<$>\"") + "]";
            }
        }
        parts += "]";
        return text;
    }

    bool Chance(int percent) { return Below(100) < percent; }
    int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

private:
    std::string Piece(int depth) {
        std::string atom;
        const int kind = Below(depth < 2 ? 12 : 9);
        static const std::vector<std::string> kLiterals = {"a",  "b",  "A", "c",   "1", " ",
                                                           "中", "文", "x", "\\.", "-"};
        static const std::vector<std::string> kClasses = {"[ab]", "[^a ]", "[a-c1]", "\\d",
                                                          "\\w",  "\\s",   "[中x]",  "\\W"};
        if (kind < 5)
            atom = kLiterals[Below(static_cast<int>(kLiterals.size()))];
        else if (kind < 6)
            atom = ".";
        else if (kind < 8)
            atom = kClasses[Below(static_cast<int>(kClasses.size()))];
        else if (kind < 9)
            return "\\b";
        else if (kind < 10)
            atom = "(" + Pattern(depth + 1) + ")";
        else if (kind < 11)
            atom = "(?:" + Pattern(depth + 1) + ")";
        else
            atom = "(?P<n" + std::to_string(depth) + std::to_string(Below(1000)) + ">" +
                   Pattern(depth + 1) + ")";
        static const std::vector<std::string> kQuantifiers = {"",  "",      "",   "*", "+",
                                                              "?", "{1,2}", "*?", "+?"};
        return atom + kQuantifiers[Below(static_cast<int>(kQuantifiers.size()))];
    }

    std::mt19937 random_;
};

TEST(RegexOracleTest, HitsAndReplacementsAgreeWithPythonsRe) {
    if (std::system("command -v python3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
    Generator generate(18);
    TempFolder folder;
    std::ostringstream cases;
    std::vector<std::string> expected; // Kelvara's answer per case
    std::vector<std::string> described;
    for (int i = 0; i < 3000; ++i) {
        const bool gbk = generate.Chance(50);
        const CodePage codePage = gbk ? CodePage::Gbk : CodePage::Utf8;
        const RegexOptions options{generate.Chance(50), generate.Chance(25)};
        const bool trim = generate.Chance(25);
        const std::string pattern = generate.Pattern();
        std::string line = generate.Line();
        if (gbk) {
            std::string encoded;
            RecodeLenient(line, CodePage::Utf8, CodePage::Gbk, encoded);
            line = encoded;
        }
        PatternError error;
        const auto compiled = RegexPattern::Compile(pattern, options, error);
        ASSERT_TRUE(compiled) << pattern << ": " << error.message;
        std::string parts;
        const std::string replacementText = generate.Replacement(compiled->GroupCount(), parts);
        std::string problem;
        const auto replacement = RegexReplacement::Parse(replacementText, *compiled, problem);
        ASSERT_TRUE(replacement) << problem;

        // Kelvara: the (trimmed) line's hits and the line with them replaced.
        const std::string_view scanned = trim ? TrimView(line) : std::string_view(line);
        RegexMatcher matcher(*compiled, codePage);
        std::vector<RegexHit> hits;
        ASSERT_TRUE(matcher.Scan(scanned, hits, true));
        std::string shown, out;
        std::size_t copied = 0;
        for (std::size_t hit = 0; hit < hits.size(); ++hit) {
            shown += (hit ? " " : "") + std::to_string(hits[hit].start) + "-" +
                     std::to_string(hits[hit].end);
            out.append(scanned.substr(copied, hits[hit].start - copied));
            replacement->Append(matcher, scanned, hit, out);
            copied = hits[hit].end;
        }
        out.append(scanned.substr(copied));
        expected.push_back(shown + "|" + Hex(out));
        described.push_back(pattern + " on " + Hex(scanned) + (gbk ? " (GBK)" : "") +
                            (options.caseless ? " caseless" : "") +
                            (options.wholeWord ? " word" : "") + " -> " + replacementText);

        std::string chars = "[";
        for (std::size_t at = 0; at < scanned.size();) {
            const DecodedChar c = DecodeCharAt(scanned, at, codePage);
            chars += (at ? "," : "") + std::string("[") + std::to_string(c.codePoint) + "," +
                     std::to_string(c.length) + "]";
            at += c.length;
        }
        cases << "{\"pattern\":" << JsonString(pattern) << ",\"line\":\"" << Hex(scanned)
              << "\",\"chars\":" << chars << "],\"caseless\":" << options.caseless
              << ",\"word\":" << options.wholeWord << ",\"encoding\":\"" << (gbk ? "gbk" : "utf-8")
              << "\",\"replacement\":" << parts << "}\n";
    }
    const std::string casesPath = folder.Write("cases.jsonl", cases.str());
    const std::string scriptPath = folder.Write("oracle.py", kOracle);
    FILE* pipe = popen(("python3 " + scriptPath + " " + casesPath + " 2>&1").c_str(), "r");
    std::string answers;
    char chunk[4096];
    for (std::size_t got; (got = fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        answers.append(chunk, got);
    pclose(pipe);
    std::istringstream lines(answers);
    std::string answer;
    int failures = 0;
    for (std::size_t i = 0; i < expected.size() && failures < 10; ++i) {
        ASSERT_TRUE(std::getline(lines, answer)) << answers.substr(0, 2000);
        if (answer != expected[i]) ++failures;
        EXPECT_EQ(expected[i], answer) << described[i];
    }
}

} // namespace
} // namespace kelvara
