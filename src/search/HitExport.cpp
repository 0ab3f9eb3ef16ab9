#include "search/HitExport.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

#include "common/AnsiString.h"
#include "search/LineMatcher.h"
#include "search/RunTexts.h"

namespace kelvara {

HitExporter::HitExporter(HitPrinter& printer, ExportSettings settings)
    : printer_(printer), settings_(std::move(settings)) {}

namespace {

// The hits of a regular expression are as long as their matches: each line
// is matched again (once, however many hits it holds).
class MatchLengths {
public:
    MatchLengths(std::string_view text, const MatchOptions& options)
        : texts_(text, {}, options), options_(options) {}

    std::size_t operator()(std::string_view line, std::size_t start, CodePage codePage) {
        std::optional<LineMatcher>& matcher = matchers_[static_cast<std::size_t>(codePage)];
        if (!texts_.Regex()) return 0;
        if (!matcher)
            matcher.emplace(texts_.In(codePage).searchText, options_, codePage, texts_.Regex());
        if (line != line_ || codePage != page_) {
            line_ = line;
            page_ = codePage;
            stretches_.clear();
            for (const std::int32_t column : matcher->Scan(line))
                stretches_.push_back(matcher->StretchOf(line, column));
        }
        for (const Stretch& stretch : stretches_) {
            if (stretch.start == start) return stretch.length;
        }
        return 0;
    }

private:
    const RunTexts texts_;
    const MatchOptions options_;
    std::array<std::optional<LineMatcher>, 2> matchers_;
    std::string line_; // the line last matched
    CodePage page_ = CodePage::Utf8;
    std::vector<Stretch> stretches_;
};

} // namespace

std::function<std::size_t(std::string_view, std::size_t, CodePage)>
SearchTextLength(std::string_view text, const MatchOptions& options) {
    if (options.Regex) {
        auto lengths = std::make_shared<MatchLengths>(text, options);
        return [lengths](std::string_view line, std::size_t start, CodePage codePage) {
            return (*lengths)(line, start, codePage);
        };
    }
    const RunTexts texts(text, {}, options);
    const std::array<std::size_t, 2> lengths{texts.In(CodePage::Gbk).searchText.size(),
                                             texts.In(CodePage::Utf8).searchText.size()};
    return [lengths](std::string_view, std::size_t, CodePage codePage) {
        return lengths[static_cast<std::size_t>(codePage)];
    };
}

ExportedHit HitExporter::Place(const FileLine& line, std::int32_t column, CodePage codePage) const {
    if (column <= 0) return {column, 0, 0};
    const std::size_t front =
        settings_.ignoreSpaces
            ? static_cast<std::size_t>(TrimView(line.text).data() - line.text.data())
            : 0;
    const std::size_t start =
        std::min(line.text.size(), front + static_cast<std::size_t>(column - 1));
    const std::size_t length =
        settings_.hitLength ? settings_.hitLength(line.text, start, codePage) : 0;
    return {column, start, std::min(line.text.size(), start + length)};
}

FileStatus HitExporter::ExportFile(const ResultTree& tree, std::uint32_t file, CodePage codePage) {
    allHits_.resize(tree.ChildCount({file, NodeRef::kNone}));
    for (std::uint32_t hit = 0; hit < allHits_.size(); ++hit)
        allHits_[hit] = hit;
    return ExportHits(tree, file, codePage, allHits_);
}

FileStatus HitExporter::ExportHits(const ResultTree& tree, std::uint32_t file, CodePage codePage,
                                   std::span<const std::uint32_t> hits) {
    const std::string path = tree.Caption({file, NodeRef::kNone});
    const auto lineOf = [&](std::size_t k) { return tree.Line({file, hits[k]}); };
    const auto columnOf = [&](std::size_t k) { return tree.Column({file, hits[k]}); };
    printer_.BeginFile(path, codePage);
    const FileStatus status = lines_.Read(path);
    if (status) {
        for (std::size_t k = 0; k < hits.size(); ++k) {
            const FileLine line{lineOf(k), 0, {}, {}};
            printer_.Hit(line, Place(line, columnOf(k), codePage));
        }
        printer_.EndFile();
        return status;
    }
    hitLines_.clear();
    for (std::size_t k = 0; k < hits.size(); ++k)
        hitLines_.push_back(lineOf(k));
    std::size_t next = 0; // the first hit not handed over
    lines_.Visit(
        hitLines_, settings_.before, settings_.after,
        [&](const FileLine& line, bool isHit) {
            if (!isHit) return printer_.Context(line);
            for (; next < hits.size() && lineOf(next) <= line.number; ++next) {
                if (lineOf(next) == line.number)
                    printer_.Hit(line, Place(line, columnOf(next), codePage));
            }
        },
        [&] { printer_.GroupEnd(); });
    printer_.EndFile();
    return std::nullopt;
}

} // namespace kelvara
