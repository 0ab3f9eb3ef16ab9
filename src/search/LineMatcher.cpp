#include "search/LineMatcher.h"

#include <algorithm>
#include <limits>

#include "common/AnsiString.h"
#include "common/CodePageConversion.h"
#include "search/Matcher.h"

namespace kelvara {

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;
constexpr std::size_t kMaxColumn = std::numeric_limits<std::int32_t>::max();

bool IsGbkLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsUtf8Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Whether an occurrence of `searchText` may start inside a character. In
// UTF-8 only a continuation byte can lie inside one; in GBK any byte can be
// the trail byte of a two-byte character.
bool NeedsClassification(std::string_view searchText, CodePage codePage) {
    if (searchText.empty()) return false;
    if (codePage == CodePage::Gbk) return true;
    return IsUtf8Continuation(static_cast<unsigned char>(searchText.front()));
}

// What every line with a hit holds: the search text, or the text that every
// match of the regular expression holds, in the code page (a character it
// cannot hold keeps its bytes: no line holds them as that character, but the
// text only picks lines, it never decides a hit).
std::string CandidateTextOf(std::string_view searchText, const RunRegex* regex, CodePage codePage) {
    if (regex == nullptr) return std::string(searchText);
    std::string encoded;
    RecodeLenient(regex->pattern->Literal(), CodePage::Utf8, codePage, encoded);
    return encoded;
}

} // namespace

LineMatcher::LineMatcher(std::string_view preparedSearchText, const MatchOptions& options,
                         CodePage codePage, const RunRegex* regex)
    : searchText_(preparedSearchText), options_(options), codePage_(codePage),
      regex_(regex ? std::make_unique<RegexMatcher>(*regex->pattern, codePage) : nullptr),
      replacement_(regex ? regex->replacement.get() : nullptr),
      candidateText_(CandidateTextOf(preparedSearchText, regex, codePage)),
      finder_(candidateText_, !options.CaseSensitive, codePage),
      needsClassification_(NeedsClassification(preparedSearchText, codePage)) {}

LineMatcher::~LineMatcher() = default;
LineMatcher::LineMatcher(LineMatcher&&) noexcept = default;

bool LineMatcher::SearchFile(std::string_view text, const BatchHooks& hooks,
                             CandidateLines& lines) const {
    if (regex_ && candidateText_.empty()) return SearchEveryLine(text, hooks, lines);
    return SearchFileBytes(text, finder_, candidateText_.size(), hooks, lines);
}

// The line as the scan sees it; letter case is left to the finder.
std::string_view LineMatcher::Prepare(std::string_view line) const {
    return options_.IgnoreSpaces ? TrimView(line) : line;
}

// True when `candidate` starts a character of `text`. `walked`, a character
// start at or before the candidate, moves up to it (or to the character start
// it falls in), so that the next candidate goes on from there.
bool LineMatcher::IsBoundary(std::string_view text, std::size_t& walked,
                             std::size_t candidate) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    if (codePage_ != CodePage::Gbk) {
        while (walked < candidate)
            walked += CharLength(text, walked, codePage_);
        return walked == candidate;
    }
    // Only the lead-range bytes right before the candidate count: any other
    // byte ends a character (alone or as a trail byte), and from there on
    // the bytes pair up. The scan back stops at `walked`, a character start,
    // so the line is still looked at once however many candidates it holds.
    std::size_t run = candidate;
    while (run > walked && IsGbkLead(bytes[run - 1]))
        --run;
    const bool boundary = (candidate - run) % 2 == 0;
    // Otherwise the byte before the candidate is a lead byte: a start.
    walked = boundary ? candidate : candidate - 1;
    return boundary;
}

// The first occurrence of the search text in `text` at or after `from` that
// starts a character, characters counted from `walked`, a character start at
// or before `from` (and kept as IsBoundary leaves it); kNotFound when none.
std::size_t LineMatcher::FindFrom(std::string_view text, std::size_t from,
                                  std::size_t& walked) const {
    for (std::size_t candidate = finder_.Find(text, from); candidate != kNotFound;
         candidate = finder_.Find(text, candidate + 1)) {
        if (!needsClassification_ || IsBoundary(text, walked, candidate)) return candidate;
    }
    return kNotFound;
}

std::span<const std::int32_t> LineMatcher::Scan(std::string_view line) {
    if (regex_) return ScanRegex(line);
    columns_.clear();
    if (searchText_.empty()) return {};
    const std::string_view text = Prepare(line);
    // Overlapping occurrences all count, so the scan resumes on the character
    // after a candidate's first one: its real start, which classifying from
    // a byte inside a character would miss ("A类A类" holds "A类" twice).
    std::size_t walked = 0;
    std::size_t rest = 0; // where the remaining text of the scan starts
    while (rest < text.size()) {
        const std::size_t candidate = FindFrom(text, rest, walked);
        if (candidate == kNotFound || candidate >= kMaxColumn) break;
        const auto column = static_cast<std::int32_t>(candidate + 1);
        if (!options_.WholeWord || IsWholeWordHit(text, column, searchText_.size()))
            columns_.push_back(column);
        rest = candidate + CharLength(text, candidate, codePage_);
    }
    return columns_;
}

std::size_t LineMatcher::FindInLine(std::string_view line, std::int32_t lineNumber,
                                    std::string_view filePath, ResultTree& tree, NodeRef fileNode) {
    const std::span<const std::int32_t> columns = Scan(line);
    for (const std::int32_t column : columns)
        tree.AppendFindHit(fileNode, {filePath, lineNumber, column, searchText_});
    return columns.size();
}

// The hits of the regular expression; a replacement needs their groups.
std::span<const std::int32_t> LineMatcher::ScanRegex(std::string_view line) {
    columns_.clear();
    lineCut_ = !regex_->Scan(Prepare(line), regexHits_, replacement_ != nullptr);
    for (const RegexHit& hit : regexHits_) {
        if (hit.start >= kMaxColumn) {
            regexHits_.resize(columns_.size());
            break;
        }
        columns_.push_back(static_cast<std::int32_t>(hit.start + 1));
    }
    return columns_;
}

Stretch LineMatcher::StretchOf(std::string_view line, std::int32_t column) const {
    // Columns count in the trimmed line; trimming only removed bytes in front.
    const std::size_t front =
        options_.IgnoreSpaces ? static_cast<std::size_t>(TrimView(line).data() - line.data()) : 0;
    Stretch stretch{front + static_cast<std::size_t>(column - 1), searchText_.size()};
    if (!regex_) return stretch;
    // A match is as long as it is: the one the last Scan found at the column.
    const auto hit = std::lower_bound(columns_.begin(), columns_.end(), column);
    stretch.length = 0;
    if (hit == columns_.end() || *hit != column) return stretch;
    const auto index = static_cast<std::size_t>(hit - columns_.begin());
    stretch.length = regexHits_[index].end - regexHits_[index].start;
    AddExpansion(line, index, stretch);
    return stretch;
}

// The replacement of hit `hit` of the last Scan of `line`, when there is one.
void LineMatcher::AddExpansion(std::string_view line, std::size_t hit, Stretch& stretch) const {
    if (replacement_ == nullptr) return;
    stretch.replacement.emplace();
    replacement_->Append(*regex_, Prepare(line), hit, *stretch.replacement);
}

std::span<const Stretch> LineMatcher::ReplacedStretches(std::string_view line) {
    stretches_.clear();
    for (const std::int32_t column : Scan(line))
        stretches_.push_back(StretchOf(line, column));
    KeepApart(stretches_);
    return stretches_;
}

bool LineMatcher::ReplaceLine(std::string_view line, std::string_view replacement,
                              std::int32_t lineNumber, std::string_view filePath, ResultTree& tree,
                              NodeRef fileNode, std::string& out) {
    if (options_.WholeWord)
        return ReplaceWholeWords(line, replacement, lineNumber, filePath, tree, fileNode, out);
    const std::span<const Stretch> stretches = ReplacedStretches(line);
    if (!stretches.empty()) {
        out.clear();
        AppendReplaced(line, stretches, replacement, out);
    }
    const std::string_view newLine = stretches.empty() ? line : std::string_view(out);
    // A line gets its node whenever the replacement text stands in it, even
    // when it stood there before; a regular expression's replacement differs
    // from match to match, so there a line gets one when it was replaced.
    const bool listed = regex_ ? !stretches.empty() : AnsiPos(replacement, newLine, codePage_) > 0;
    if (listed) tree.AppendChild(fileNode, newLine, {filePath, lineNumber, 0, searchText_});
    return !stretches.empty();
}

// Each accepted whole word replaced at its own place in the unprepared line;
// a hit overlapping one already replaced is skipped. A hit's caption is the
// line after its replacement: the new line up to the end of its replacement,
// then the old line after the replaced bytes. Both lines are kept once in the
// tree, so a long line with many hits costs its length plus the hits.
bool LineMatcher::ReplaceWholeWords(std::string_view line, std::string_view replacement,
                                    std::int32_t lineNumber, std::string_view filePath,
                                    ResultTree& tree, NodeRef fileNode, std::string& out) {
    const std::span<const Stretch> stretches = ReplacedStretches(line);
    if (stretches.empty()) return false;
    out.clear();
    AppendReplaced(line, stretches, replacement, out);
    // The record keeps the hit's column in the prepared line.
    const std::size_t front =
        options_.IgnoreSpaces ? static_cast<std::size_t>(TrimView(line).data() - line.data()) : 0;
    const ResultTree::LineTextsId texts = tree.AddLineTexts(out, line);
    const std::vector<Stretch> placed = NewStretches(stretches, replacement);
    for (std::size_t k = 0; k < stretches.size(); ++k) {
        const auto column = static_cast<std::int32_t>(stretches[k].start - front + 1);
        tree.AppendReplaceHit(fileNode, texts, placed[k].End(), stretches[k].End(),
                              {filePath, lineNumber, column, searchText_});
    }
    return true;
}

} // namespace kelvara
