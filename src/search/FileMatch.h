#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/FileEncoding.h"
#include "search/LineMatcher.h"
#include "search/MatchOptions.h"
#include "search/RunTexts.h"

namespace kelvara {

// The one place where a run meets a file's encoding: each file read is taken
// in its own encoding (a byte-order mark, the forced code page or what its
// bytes tell) and matched with the run's texts in its code page, a UTF-16
// file through its UTF-8 decoding. One per thread of a run, reused from file
// to file; a line matcher is made for each code page the first time a file
// of that code page comes.
//
// Texts of nothing but ASCII match a line of nothing but ASCII alike in every
// code page. For them the bytes of a file are looked at only when a line
// beyond ASCII is matched or the encoding is asked for: a find through a tree
// of source files then costs no pass over bytes that hold no candidate.
class FileMatch {
public:
    // `fallback` is the code page of pure-ASCII files (when none is forced).
    FileMatch(const RunTexts& texts, const MatchOptions& options, CodePage fallback);

    // Takes the bytes of the next file, which must stay as they are while it
    // is matched. Returns why the file cannot be matched (in UTF-8): a UTF-16
    // file that is not valid.
    std::optional<std::string> Take(std::string_view bytes);

    // The file's encoding, told from all its bytes if that was not done yet.
    const FileEncoding& Encoding();
    // The code page the file is matched in: its own when known; until then
    // (only ASCII texts and lines met so far) the fallback, which matches
    // alike.
    CodePage Page() const noexcept { return encoding_.codePage; }
    // The file's text: without its byte-order mark, a UTF-16 file decoded.
    std::string_view Text() const noexcept { return text_; }
    // The run's texts in the file's code page.
    const CodePageTexts& Texts() const noexcept { return texts_.In(Page()); }
    // The matcher of the file's code page; null when that code page cannot
    // hold the search text (the file has no hits). Its finder finds the
    // candidates in the whole text.
    LineMatcher* Matcher();
    // The matcher for one line of the file's text: a line beyond ASCII makes
    // the file's code page known first.
    LineMatcher* MatcherFor(std::string_view line);
    // Why the replacement cannot be written into this file (in UTF-8), if so.
    std::optional<std::string> ReplacementProblem();

private:
    const RunTexts& texts_;
    const MatchOptions options_;
    const CodePageChoice choice_;
    std::array<std::optional<LineMatcher>, 2> matchers_;
    std::string_view bytes_;
    FileEncoding encoding_;
    bool known_ = false;  // `encoding_` is the file's, not the fallback
    std::string decoded_; // a UTF-16 file's text
    std::string_view text_;
};

} // namespace kelvara
