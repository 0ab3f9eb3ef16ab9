#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/CodePage.h"

// PCRE2's types for 8-bit code units, as its header names them.
struct pcre2_real_code_8;
struct pcre2_real_match_context_8;
struct pcre2_real_jit_stack_8;
struct pcre2_real_match_data_8;

// Regular expressions (PCRE2, compiled once with its JIT) matched line by line
// in any code page.
namespace kelvara {

// Why a pattern cannot be used, and where.
struct PatternError {
    std::string message;    // PCRE2's words (English)
    std::size_t column = 0; // 1-based character of the pattern; 0: no one place
};

struct RegexOptions {
    bool caseless = false;
    // A match must stand between spaces or line ends, as a whole word of the
    // literal search does: the pattern is wrapped in lookarounds for them.
    bool wholeWord = false;
};

// A compiled pattern, shared by the threads of a run. The pattern is UTF-8;
// it matches in UTF mode, so "." is one character in every code page.
class RegexPattern {
public:
    static std::unique_ptr<RegexPattern> Compile(std::string_view pattern,
                                                 const RegexOptions& options, PatternError& error);
    ~RegexPattern();
    RegexPattern(const RegexPattern&) = delete;
    RegexPattern& operator=(const RegexPattern&) = delete;

    const std::string& Text() const noexcept { return text_; }
    std::size_t GroupCount() const noexcept { return groups_; }
    // The number of the group `name`, or 0 when the pattern has none so called.
    std::size_t GroupNumber(std::string_view name) const;
    // A text every match holds (UTF-8; see RequiredLiteral); may be empty.
    const std::string& Literal() const noexcept { return literal_; }
    const pcre2_real_code_8* Code() const noexcept { return code_; }

private:
    RegexPattern() = default;

    std::string text_;
    pcre2_real_code_8* code_ = nullptr;
    std::size_t groups_ = 0;
    std::string literal_;
};

// A match or a group in a line: its bytes, 0-based, end excluded, in the
// line's own code page.
struct RegexHit {
    std::size_t start = 0;
    std::size_t end = 0;
};

// Runs a pattern over lines of one code page, for one thread: it owns the
// match data and the JIT stack. A valid UTF-8 line is matched as it is; a GBK
// line, and a UTF-8 line with bytes that are not valid UTF-8, through its
// UTF-8 decoding, where each such byte is a character of its own, every
// position mapped back to the line's bytes. A hit never starts or ends inside
// a character.
class RegexMatcher {
public:
    RegexMatcher(const RegexPattern& pattern, CodePage codePage);
    ~RegexMatcher();
    RegexMatcher(const RegexMatcher&) = delete;
    RegexMatcher& operator=(const RegexMatcher&) = delete;

    const RegexPattern& Pattern() const noexcept { return pattern_; }
    CodePage Page() const noexcept { return codePage_; }

    // The matches of `line` from left to right, from byte `from` (a character
    // start) on, each search going on where the last match ended; an empty
    // match is none. With `withGroups` the spans of each hit's groups are kept
    // too (Group). Returns false when the line took more than PCRE2's match
    // limit: its search stopped there, the hits before kept.
    bool Scan(std::string_view line, std::vector<RegexHit>& hits, bool withGroups = false,
              std::size_t from = 0);
    // Group `group` of hit `hit` of the last Scan with groups (0: the whole
    // match); an unset group has start > end.
    RegexHit Group(std::size_t hit, std::size_t group) const;

private:
    std::string_view Subject(std::string_view line);
    std::size_t LineOffset(std::size_t subjectOffset) const;
    std::size_t SubjectOffset(std::size_t lineOffset) const;

    const RegexPattern& pattern_;
    const CodePage codePage_;
    pcre2_real_match_context_8* context_ = nullptr;
    pcre2_real_jit_stack_8* jitStack_ = nullptr;
    pcre2_real_match_data_8* data_ = nullptr;
    // A GBK line in UTF-8, and for each of its bytes the line's byte offset
    // (one more entry: the line's size), four bytes each: a huge line's
    // decoding costs half the memory it would with machine words.
    std::string_view lastLine_;
    bool decoding_ = false; // the last line was decoded
    std::string decoded_;
    std::vector<std::uint32_t> offsets_;
    std::vector<RegexHit> groups_;
};

} // namespace kelvara
