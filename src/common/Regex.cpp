#include "common/Regex.h"

#include <algorithm>
#include <cstdint>
#include <new>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "common/CodePageConversion.h"
#include "common/FileEncoding.h"
#include "common/MessageCatalogue.h"
#include "common/RegexLiteral.h"

namespace kelvara {

namespace {

// PCRE2's JIT stack grows up to this; deeper backtracking ends the line's
// search as the match limit does.
constexpr std::size_t kJitStackStart = 32u << 10;
constexpr std::size_t kJitStackMax = 1u << 20;

PCRE2_SPTR Units(std::string_view text) { return reinterpret_cast<PCRE2_SPTR>(text.data()); }

std::string ErrorText(int code) {
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(code, buffer, sizeof buffer);
    return length > 0 ? std::string(reinterpret_cast<const char*>(buffer), length) : "error";
}

// The 1-based character at byte `offset` of a UTF-8 text.
std::size_t CharacterAt(std::string_view text, std::size_t offset) {
    std::size_t column = 1;
    for (std::size_t at = 0; at < offset && at < text.size(); ++at)
        column += (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
    return column;
}

pcre2_code* CompileCode(std::string_view pattern, std::uint32_t flags, int& code,
                        std::size_t& offset) {
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* compiled =
        pcre2_compile(Units(pattern), pattern.size(), flags, &code, &errorOffset, nullptr);
    offset = errorOffset;
    return compiled;
}

void AppendUtf8(char32_t codePoint, std::string& out) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

} // namespace

std::unique_ptr<RegexPattern>
RegexPattern::Compile(std::string_view pattern, const RegexOptions& options, PatternError& error) {
    // Subjects are always valid UTF-8 (see RegexMatcher::Subject), so PCRE2's
    // own handling of invalid input is not needed; its JIT in 10.42 also let
    // \W miss characters beyond ASCII under it.
    const std::uint32_t flags = PCRE2_UTF | (options.caseless ? PCRE2_CASELESS : 0u);
    int code = 0;
    std::size_t offset = 0;
    // The pattern alone first, so that a fault is shown where the user wrote it.
    pcre2_code* compiled = CompileCode(pattern, flags, code, offset);
    if (compiled == nullptr) {
        error = {ErrorText(code), CharacterAt(pattern, offset)};
        return nullptr;
    }
    if (options.wholeWord) {
        pcre2_code_free(compiled);
        // "\E" ends a quote left open; a pattern whose end still swallows the
        // wrapping (a comment in extended mode) fails here instead.
        const std::string wrapped = "(?<![^ ])(?:" + std::string(pattern) + "\\E)(?![^ ])";
        compiled = CompileCode(wrapped, flags, code, offset);
        if (compiled == nullptr) {
            error = {FormatMessage(Translate("kelvara::Regex", "这个表达式不能做全字匹配：%1"),
                                   {ErrorText(code)}),
                     0};
            return nullptr;
        }
    }
    // Without the JIT (a platform that has none) the interpreter matches.
    pcre2_jit_compile(compiled, PCRE2_JIT_COMPLETE);
    std::unique_ptr<RegexPattern> result(new RegexPattern);
    result->text_ = pattern;
    result->code_ = compiled;
    std::uint32_t groups = 0;
    pcre2_pattern_info(compiled, PCRE2_INFO_CAPTURECOUNT, &groups);
    result->groups_ = groups;
    result->literal_ = RequiredLiteral(pattern, options.caseless);
    return result;
}

RegexPattern::~RegexPattern() { pcre2_code_free(code_); }

std::size_t RegexPattern::GroupNumber(std::string_view name) const {
    const std::string terminated(name);
    const int number = pcre2_substring_number_from_name(code_, Units(terminated));
    return number > 0 ? static_cast<std::size_t>(number) : 0;
}

RegexMatcher::RegexMatcher(const RegexPattern& pattern, CodePage codePage)
    : pattern_(pattern), codePage_(codePage) {
    context_ = pcre2_match_context_create(nullptr);
    jitStack_ = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    if (context_ != nullptr && jitStack_ != nullptr)
        pcre2_jit_stack_assign(context_, nullptr, jitStack_);
    data_ = pcre2_match_data_create_from_pattern(pattern.Code(), nullptr);
    if (data_ == nullptr || context_ == nullptr) throw std::bad_alloc();
}

RegexMatcher::~RegexMatcher() {
    pcre2_match_data_free(data_);
    pcre2_jit_stack_free(jitStack_);
    pcre2_match_context_free(context_);
}

// What the pattern runs over: a valid UTF-8 line itself, else the line's
// UTF-8 decoding, each byte that is not valid in its code page a character of
// its own (as Kelvara decodes texts everywhere).
std::string_view RegexMatcher::Subject(std::string_view line) {
    lastLine_ = line;
    decoding_ = codePage_ == CodePage::Gbk || !IsValidUtf8(line);
    if (!decoding_) return line;
    // Offsets are kept in four bytes; no line that long fits in memory twice.
    if (line.size() > UINT32_MAX) throw std::bad_alloc();
    decoded_.clear();
    offsets_.clear();
    for (std::size_t at = 0; at < line.size();) {
        const DecodedChar c = DecodeCharAt(line, at, codePage_);
        const std::size_t before = decoded_.size();
        AppendUtf8(c.codePoint, decoded_);
        offsets_.insert(offsets_.end(), decoded_.size() - before, static_cast<std::uint32_t>(at));
        at += c.length;
    }
    offsets_.push_back(static_cast<std::uint32_t>(line.size()));
    return decoded_;
}

std::size_t RegexMatcher::LineOffset(std::size_t subjectOffset) const {
    return decoding_ ? offsets_[subjectOffset] : subjectOffset;
}

// The subject offset of a line offset: the start of the character there, or
// of the next one (PCRE2 must never start inside a character).
std::size_t RegexMatcher::SubjectOffset(std::size_t lineOffset) const {
    if (!decoding_) {
        const std::string_view line = lastLine_;
        while (lineOffset < line.size() &&
               (static_cast<unsigned char>(line[lineOffset]) & 0xC0) == 0x80)
            ++lineOffset;
        return lineOffset;
    }
    return static_cast<std::size_t>(std::lower_bound(offsets_.begin(), offsets_.end(), lineOffset) -
                                    offsets_.begin());
}

bool RegexMatcher::Scan(std::string_view line, std::vector<RegexHit>& hits, bool withGroups,
                        std::size_t lineFrom) {
    hits.clear();
    groups_.clear();
    const std::string_view subject = Subject(line);
    const std::size_t groupCount = pattern_.GroupCount();
    PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data_);
    for (std::size_t from = SubjectOffset(std::min(lineFrom, line.size()));
         from <= subject.size();) {
        const int found = pcre2_match(pattern_.Code(), Units(subject), subject.size(), from,
                                      PCRE2_NOTEMPTY | PCRE2_NO_UTF_CHECK, data_, context_);
        if (found == PCRE2_ERROR_NOMATCH) return true;
        if (found < 0) return false; // a limit
        const std::size_t start = vector[0];
        const std::size_t end = vector[1];
        // \K can put a match's start after its end; such a match is none.
        if (end > start) {
            hits.push_back({LineOffset(start), LineOffset(end)});
            if (withGroups) groups_.push_back(hits.back());
            for (std::size_t group = 1; withGroups && group <= groupCount; ++group) {
                const PCRE2_SIZE groupStart = vector[2 * group];
                if (groupStart == PCRE2_UNSET || group >= static_cast<std::size_t>(found))
                    groups_.push_back({1, 0});
                else
                    groups_.push_back({LineOffset(groupStart), LineOffset(vector[2 * group + 1])});
            }
        }
        if (end > from) {
            from = end;
        } else {
            // Past the character at `from`.
            ++from;
            while (from < subject.size() &&
                   (static_cast<unsigned char>(subject[from]) & 0xC0) == 0x80)
                ++from;
        }
    }
    return true;
}

RegexHit RegexMatcher::Group(std::size_t hit, std::size_t group) const {
    return groups_[hit * (pattern_.GroupCount() + 1) + group];
}

} // namespace kelvara
