#include "search/PathGlob.h"

#include "common/CodePageConversion.h"
#include "common/MessageCatalogue.h"

namespace kelvara {

namespace {

// Paths are taken as UTF-8; a malformed byte is a character of its own.
DecodedChar CharAt(std::string_view text, std::size_t at) {
    return DecodeCharAt(text, at, CodePage::Utf8);
}

bool StartsDoubleStar(std::string_view body, std::size_t at) {
    return body.substr(at, 2) == "**" && (at + 2 == body.size() || body[at + 2] == '/');
}

} // namespace

std::optional<PathGlob> PathGlob::Parse(std::string_view glob, std::string& error) {
    PathGlob parsed;
    parsed.text_ = glob;
    if (!parsed.ParseBody(glob, error)) {
        error = FormatMessage(Translate("kelvara::PathGlob", "模式 %1：%2"), {glob, error});
        return std::nullopt;
    }
    return parsed;
}

bool PathGlob::ParseBody(std::string_view body, std::string& error) {
    if (body.starts_with('!')) {
        negated_ = true;
        body.remove_prefix(1);
    }
    if (body.ends_with('/') && !body.ends_with("\\/")) {
        foldersOnly_ = true;
        body.remove_suffix(1);
    }
    anchored_ = body.find('/') != std::string_view::npos;
    if (body.starts_with('/')) body.remove_prefix(1);
    if (body.empty()) {
        error = Translate("kelvara::PathGlob", "什么也匹配不到");
        return false;
    }
    // A glob without a folder in it matches the last name at any depth.
    if (!anchored_ && !StartsDoubleStar(body, 0)) tokens_.emplace_back(Kind::AnyFolders);
    for (std::size_t at = 0; at < body.size();) {
        const char c = body[at];
        if (at == 0 && StartsDoubleStar(body, 0)) {
            tokens_.emplace_back(body.size() == 2 ? Kind::Anything : Kind::AnyFolders);
            at += 3;
        } else if (c == '/' && StartsDoubleStar(body, at + 1)) {
            const bool last = at + 3 == body.size();
            tokens_.emplace_back(last ? Kind::Rest : Kind::Inside);
            at += 4;
        } else if (c == '*') {
            if (tokens_.empty() || tokens_.back().kind != Kind::Star)
                tokens_.emplace_back(Kind::Star);
            ++at;
        } else if (c == '?') {
            tokens_.emplace_back(Kind::One);
            ++at;
        } else if (c == '[') {
            Token token(Kind::Class);
            std::size_t end = at + 1;
            if (end < body.size() && (body[end] == '!' || body[end] == '^')) {
                token.negatedClass = true;
                ++end;
            }
            bool closed = false;
            for (bool first = true; end < body.size(); first = false) {
                if (body[end] == ']' && !first) {
                    closed = true;
                    ++end;
                    break;
                }
                if (body[end] == '\\' && end + 1 < body.size()) ++end;
                const DecodedChar low = CharAt(body, end);
                end += low.length;
                char32_t high = low.codePoint;
                if (end + 1 < body.size() && body[end] == '-' && body[end + 1] != ']') {
                    std::size_t next = end + 1;
                    if (body[next] == '\\' && next + 1 < body.size()) ++next;
                    const DecodedChar upper = CharAt(body, next);
                    high = upper.codePoint;
                    end = next + upper.length;
                }
                if (high < low.codePoint) {
                    error = Translate("kelvara::PathGlob", "范围的两端颠倒了");
                    return false;
                }
                token.ranges.emplace_back(low.codePoint, high);
            }
            if (!closed) {
                error = Translate("kelvara::PathGlob", "“[” 没有闭合");
                return false;
            }
            tokens_.push_back(std::move(token));
            at = end;
        } else {
            if (c == '\\') {
                if (++at == body.size()) {
                    error = Translate("kelvara::PathGlob", "以 “\\” 结尾");
                    return false;
                }
            }
            if (tokens_.empty() || tokens_.back().kind != Kind::Literal)
                tokens_.emplace_back(Kind::Literal);
            tokens_.back().text.push_back(body[at]);
            ++at;
        }
    }
    return true;
}

bool PathGlob::Matches(std::string_view relative, bool isFolder) const {
    if (foldersOnly_ && !isFolder) return false;
    // Each (token, position) is judged once, so no glob costs more than
    // tokens times bytes, however many stars it holds. The table is kept per
    // thread: a walk asks for every entry it meets.
    thread_local std::vector<unsigned char> memo;
    memo.assign((tokens_.size() + 1) * (relative.size() + 1), 0);
    return MatchFrom(0, 0, relative, memo);
}

bool PathGlob::MatchFrom(std::size_t token, std::size_t at, std::string_view path,
                         std::vector<unsigned char>& memo) const {
    if (token == tokens_.size()) return at == path.size();
    unsigned char& known = memo[token * (path.size() + 1) + at];
    if (known == 0) known = StepToken(tokens_[token], token, at, path, memo) ? 2 : 1;
    return known == 2;
}

bool PathGlob::StepToken(const Token& token, std::size_t index, std::size_t at,
                         std::string_view path, std::vector<unsigned char>& memo) const {
    const std::size_t next = index + 1;
    const auto matchAfterSlashes = [&](std::size_t from) {
        // Every way of ending a run of folders: right after each "/" from `from` on.
        for (std::size_t slash = path.find('/', from); slash != std::string_view::npos;
             slash = path.find('/', slash + 1)) {
            if (MatchFrom(next, slash + 1, path, memo)) return true;
        }
        return false;
    };
    switch (token.kind) {
    case Kind::Literal:
        return path.substr(at).starts_with(token.text) &&
               MatchFrom(next, at + token.text.size(), path, memo);
    case Kind::One:
    case Kind::Class: {
        if (at >= path.size() || path[at] == '/') return false;
        const DecodedChar c = CharAt(path, at);
        if (token.kind == Kind::Class) {
            bool inside = false;
            for (const auto& [low, high] : token.ranges)
                inside = inside || (c.codePoint >= low && c.codePoint <= high);
            if (inside == token.negatedClass) return false;
        }
        return MatchFrom(next, at + c.length, path, memo);
    }
    case Kind::Star:
        for (std::size_t end = at;; ++end) {
            if (MatchFrom(next, end, path, memo)) return true;
            if (end == path.size() || path[end] == '/') return false;
        }
    case Kind::AnyFolders:
        return MatchFrom(next, at, path, memo) || matchAfterSlashes(at);
    case Kind::Inside:
        return at < path.size() && path[at] == '/' &&
               (MatchFrom(next, at + 1, path, memo) || matchAfterSlashes(at + 1));
    case Kind::Rest:
        return at + 1 < path.size() && path[at] == '/' && MatchFrom(next, path.size(), path, memo);
    case Kind::Anything:
        return MatchFrom(next, path.size(), path, memo);
    }
    return false;
}

} // namespace kelvara
