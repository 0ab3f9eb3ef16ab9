#include "common/RegexReplacement.h"

#include <cctype>

#include "common/CodePageConversion.h"
#include "common/MessageCatalogue.h"

namespace kelvara {

namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The group a reference names, or nullopt (with `error`) when there is none.
std::optional<std::size_t> GroupOf(std::string_view name, const RegexPattern& pattern,
                                   std::string& error) {
    std::size_t number = 0;
    bool numeric = !name.empty() && name.size() < 10;
    for (const char c : name) {
        numeric = numeric && IsDigit(c);
        if (numeric) number = number * 10 + static_cast<std::size_t>(c - '0');
    }
    if (!numeric) number = pattern.GroupNumber(name);
    if ((numeric && number <= pattern.GroupCount()) || (!numeric && number > 0)) return number;
    error = FormatMessage(Translate("kelvara::Regex", "替换文字引用的分组 %1 在表达式里不存在"),
                          {name});
    return std::nullopt;
}

} // namespace

void RegexReplacement::AddText(std::string_view utf8) {
    if (utf8.empty()) return;
    if (pieces_.empty() || pieces_.back().group != kText) pieces_.push_back({});
    pieces_.back().text[static_cast<std::size_t>(CodePage::Utf8)].append(utf8);
}

std::optional<RegexReplacement>
RegexReplacement::Parse(std::string_view text, const RegexPattern& pattern, std::string& error) {
    RegexReplacement replacement;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t dollar = text.find('$', at);
        replacement.AddText(text.substr(at, dollar - at));
        if (dollar == std::string_view::npos) break;
        at = dollar + 1;
        std::string_view name;
        if (at < text.size() && text[at] == '$') {
            replacement.AddText("$");
            ++at;
            continue;
        }
        if (at < text.size() && text[at] == '{') {
            const std::size_t close = text.find('}', at);
            if (close == std::string_view::npos) {
                replacement.AddText("$");
                continue;
            }
            name = text.substr(at + 1, close - at - 1);
            at = close + 1;
        } else {
            const std::size_t digits = at;
            while (at < text.size() && IsDigit(text[at]))
                ++at;
            name = text.substr(digits, at - digits);
            if (name.empty()) {
                replacement.AddText("$");
                continue;
            }
        }
        const std::optional<std::size_t> group = GroupOf(name, pattern, error);
        if (!group) return std::nullopt;
        Piece piece;
        piece.group = *group;
        replacement.pieces_.push_back(std::move(piece));
    }
    for (Piece& piece : replacement.pieces_) {
        if (piece.group != kText) continue;
        const std::string& utf8 = piece.text[static_cast<std::size_t>(CodePage::Utf8)];
        std::string& gbk = piece.text[static_cast<std::size_t>(CodePage::Gbk)];
        auto& missing = replacement.missing_[static_cast<std::size_t>(CodePage::Gbk)];
        if (const auto bad = RecodeText(utf8, CodePage::Utf8, CodePage::Gbk, gbk))
            missing = missing ? missing : bad->codePoint;
    }
    return replacement;
}

void RegexReplacement::Append(const RegexMatcher& matcher, std::string_view line, std::size_t hit,
                              std::string& out) const {
    const auto page = static_cast<std::size_t>(matcher.Page());
    for (const Piece& piece : pieces_) {
        if (piece.group == kText) {
            out.append(piece.text[page]);
            continue;
        }
        const RegexHit span = matcher.Group(hit, piece.group);
        if (span.start <= span.end) out.append(line.substr(span.start, span.end - span.start));
    }
}

} // namespace kelvara
