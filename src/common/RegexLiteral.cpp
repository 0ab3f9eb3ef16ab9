#include "common/RegexLiteral.h"

#include <cctype>

namespace kelvara {

namespace {

bool IsAsciiAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    return std::min(length, text.size() - at);
}

// Reads the top level of a pattern, keeping the runs of characters that every
// match must hold.
class LiteralReader {
public:
    LiteralReader(std::string_view pattern, bool caseless)
        : pattern_(pattern), caseless_(caseless) {}

    std::string Longest() {
        while (at_ < pattern_.size()) {
            if (!Step()) return {};
        }
        EndRun();
        return longest_;
    }

private:
    // One item of the top level; false when the pattern is beyond this reading.
    bool Step() {
        const char c = pattern_[at_];
        switch (c) {
        case '\\':
            return Escape();
        case '(':
            return SkipGroup();
        case '[':
            return SkipClass();
        case '|':
            return false;
        case '.':
        case '^':
        case '$':
            EndRun();
            ++at_;
            return true;
        case '*':
        case '?':
        case '+':
            Quantifier(c != '+');
            ++at_;
            SkipQuantifierSuffix();
            return true;
        case '{':
            if (Counted()) return true;
            break;
        default:
            break;
        }
        const std::size_t length = Utf8Length(pattern_, at_);
        Character(pattern_.substr(at_, length));
        at_ += length;
        return true;
    }

    bool Escape() {
        if (at_ + 1 >= pattern_.size()) return false;
        const char next = pattern_[at_ + 1];
        if (!IsAsciiAlnum(next) && static_cast<unsigned char>(next) < 0x80) {
            Character(pattern_.substr(at_ + 1, 1));
            at_ += 2;
            return true;
        }
        // Escapes that take an argument, or quote, could read as characters here.
        if (std::string_view("xocNpPgkQE0123456789").find(next) != std::string_view::npos)
            return false;
        EndRun(); // \d, \b, \w, \n and the like
        at_ += 2;
        return true;
    }

    // A group may be optional, repeated or an alternative: nothing in it counts.
    bool SkipGroup() {
        if (pattern_.substr(at_, 2) == "(*") return false;
        if (pattern_.substr(at_, 2) == "(?" && at_ + 2 < pattern_.size() &&
            std::string_view("imnsxJUa^-").find(pattern_[at_ + 2]) != std::string_view::npos)
            return false; // option settings change how what follows matches
        EndRun();
        int depth = 0;
        while (at_ < pattern_.size()) {
            const char c = pattern_[at_];
            if (c == '\\') {
                at_ += 2;
                continue;
            }
            if (c == '[') {
                if (!SkipClass()) return false;
                continue;
            }
            ++at_;
            if (c == '(') ++depth;
            if (c == ')' && --depth == 0) return true;
        }
        return false;
    }

    bool SkipClass() {
        EndRun();
        std::size_t end = at_ + 1;
        if (end < pattern_.size() && pattern_[end] == '^') ++end;
        if (end < pattern_.size() && pattern_[end] == ']') ++end;
        while (end < pattern_.size() && pattern_[end] != ']') {
            if (pattern_[end] == '\\')
                ++end;
            else if (pattern_.substr(end, 2) == "[:") {
                const std::size_t close = pattern_.find(":]", end + 2);
                if (close != std::string_view::npos) end = close + 1;
            }
            ++end;
        }
        if (end >= pattern_.size()) return false;
        at_ = end + 1;
        return true;
    }

    // "{n}", "{n,}", "{n,m}": true when it is one (and was taken).
    bool Counted() {
        std::size_t end = at_ + 1;
        const std::size_t digits = end;
        while (end < pattern_.size() && std::isdigit(static_cast<unsigned char>(pattern_[end])))
            ++end;
        if (end == digits) return false;
        const bool none =
            pattern_.substr(digits, end - digits).find_first_not_of('0') == std::string_view::npos;
        if (end < pattern_.size() && pattern_[end] == ',') {
            ++end;
            while (end < pattern_.size() && std::isdigit(static_cast<unsigned char>(pattern_[end])))
                ++end;
        }
        if (end >= pattern_.size() || pattern_[end] != '}') return false;
        Quantifier(none);
        at_ = end + 1;
        SkipQuantifierSuffix();
        return true;
    }

    void SkipQuantifierSuffix() {
        if (at_ < pattern_.size() && (pattern_[at_] == '?' || pattern_[at_] == '+')) ++at_;
    }

    // A quantifier applies to the last character of the run: it may be
    // absent (`optional`), or stand more than once; either way the run ends.
    void Quantifier(bool optional) {
        if (optional && !run_.empty()) run_.resize(run_.size() - lastLength_);
        EndRun();
    }

    void Character(std::string_view character) {
        const char first = character[0];
        const bool folds = first == 'k' || first == 'K' || first == 's' || first == 'S';
        if (caseless_ && (static_cast<unsigned char>(first) >= 0x80 || folds)) {
            EndRun();
            lastLength_ = 0;
            return;
        }
        run_.append(character);
        lastLength_ = character.size();
    }

    void EndRun() {
        if (run_.size() > longest_.size()) longest_ = run_;
        run_.clear();
        lastLength_ = 0;
    }

    std::string_view pattern_;
    bool caseless_;
    std::size_t at_ = 0;
    std::string run_;
    std::size_t lastLength_ = 0; // bytes of the run's last character
    std::string longest_;
};

} // namespace

std::string RequiredLiteral(std::string_view pattern, bool caseless) {
    return LiteralReader(pattern, caseless).Longest();
}

} // namespace kelvara
