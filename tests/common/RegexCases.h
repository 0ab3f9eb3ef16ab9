#pragma once

// Random regular expressions, lines and replacements, and Python's re as the
// oracle that matches them on the same decoded lines: shared by the tests of
// the matcher and of the batch runs.
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "common/CodePageConversion.h"

namespace kelvara {

// Python is told each line as its characters (code point and bytes, as
// Kelvara decodes them) and maps its match positions back to bytes itself.
inline constexpr const char* kOracle = R"(
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

inline std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char byte : bytes) {
        hex.push_back(kDigits[static_cast<unsigned char>(byte) >> 4]);
        hex.push_back(kDigits[static_cast<unsigned char>(byte) & 0xF]);
    }
    return hex;
}

inline std::string JsonString(std::string_view utf8) {
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

// One case for the oracle: `pattern` on `line` (the bytes matched, in
// `codePage`) with `parts` the replacement as Generator::Replacement gives it.
inline std::string OracleCase(std::string_view pattern, std::string_view line, CodePage codePage,
                              bool caseless, bool wholeWord, const std::string& parts) {
    std::string chars = "[";
    for (std::size_t at = 0; at < line.size();) {
        const DecodedChar c = DecodeCharAt(line, at, codePage);
        chars += (at ? "," : "") + std::string("[") + std::to_string(c.codePoint) + "," +
                 std::to_string(c.length) + "]";
        at += c.length;
    }
    const bool gbk = codePage == CodePage::Gbk;
    return "{\"pattern\":" + JsonString(pattern) + ",\"line\":\"" + Hex(line) +
           "\",\"chars\":" + chars + "],\"caseless\":" + (caseless ? "1" : "0") +
           ",\"word\":" + (wholeWord ? "1" : "0") + ",\"encoding\":\"" + (gbk ? "gbk" : "utf-8") +
           "\",\"replacement\":" + parts + "}\n";
}

// The oracle's answer to each case of `cases` (written as files into
// `folder`): "start-end start-end|hex of the replaced line", one a case.
inline std::vector<std::string> AskOracle(const std::string& folder, const std::string& cases) {
    const std::string casesPath = folder + "/cases.jsonl";
    const std::string scriptPath = folder + "/oracle.py";
    if (FILE* file = std::fopen(casesPath.c_str(), "wb")) {
        std::fwrite(cases.data(), 1, cases.size(), file);
        std::fclose(file);
    }
    if (FILE* file = std::fopen(scriptPath.c_str(), "wb")) {
        std::fputs(kOracle, file);
        std::fclose(file);
    }
    FILE* pipe = popen(("python3 " + scriptPath + " " + casesPath + " 2>&1").c_str(), "r");
    std::string answers;
    char chunk[4096];
    for (std::size_t got; pipe != nullptr && (got = fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        answers.append(chunk, got);
    if (pipe != nullptr) pclose(pipe);
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < answers.size();) {
        const std::size_t end = answers.find('\n', at);
        lines.push_back(answers.substr(at, end - at));
        at = end == std::string::npos ? answers.size() : end + 1;
    }
    return lines;
}

} // namespace kelvara
