#include "search/ResultExport.h"

#include <algorithm>
#include <map>
#include <memory>

#include "common/FileRewrite.h"
#include "search/ExportText.h"
#include "search/HitPrinters.h"

namespace kelvara {

namespace {

// Written to the file in pieces of about this size.
constexpr std::size_t kPiece = 1u << 20;

std::unique_ptr<GrepPrinter> MakeGrepPrinter(std::string& out, std::function<void()> written = {}) {
    return std::make_unique<GrepPrinter>(
        out,
        [](std::string_view path, char separator, std::string& line) {
            AppendEscapedUtf8(path, CodePage::Utf8, line);
            line.push_back(separator);
        },
        [](std::string_view text, CodePage codePage, std::string& line) {
            AppendEscapedUtf8(text, codePage, line);
        },
        false, std::move(written));
}

} // namespace

ExportFormat ExportFormatOf(std::string_view path) {
    const auto endsWith = [&](std::string_view suffix) {
        return path.size() >= suffix.size() &&
               std::equal(suffix.begin(), suffix.end(), path.end() - suffix.size(),
                          [](char lower, char c) { return (c | 0x20) == lower; });
    };
    if (endsWith(".csv")) return ExportFormat::Csv;
    if (endsWith(".json") || endsWith(".jsonl")) return ExportFormat::Json;
    return ExportFormat::Grep;
}

FileStatus ExportResults(const ResultTree& tree, ExportFormat format,
                         const ExportSettings& settings, const std::string& path,
                         std::vector<FileError>& unread, const std::function<void()>& yield) {
    FileRewrite file;
    if (FileStatus status = file.Begin(path)) return status;
    std::string out;
    FileStatus writeError;
    const auto written = [&] {
        if (out.size() < kPiece || writeError) return;
        writeError = file.Append(out);
        out.clear();
    };
    std::unique_ptr<HitPrinter> printer;
    JsonPrinter* json = nullptr;
    if (format == ExportFormat::Csv) {
        printer = std::make_unique<CsvPrinter>(out, written);
    } else if (format == ExportFormat::Json) {
        auto jsonPrinter = std::make_unique<JsonPrinter>(out, written);
        json = jsonPrinter.get();
        printer = std::move(jsonPrinter);
    } else {
        printer = MakeGrepPrinter(out, written);
    }
    HitExporter exporter(*printer, settings);
    for (std::uint32_t node = 0; node < tree.FileNodeCount() && !writeError; ++node) {
        if (tree.ChildCount({node, NodeRef::kNone}) == 0) continue;
        if (FileStatus status =
                exporter.ExportFile(tree, node, tree.CodePageOf({node, NodeRef::kNone})))
            unread.push_back(std::move(*status));
        if (yield) yield();
    }
    if (json != nullptr) json->Summary(tree.FileNodeCount(), std::nullopt);
    if (!writeError) writeError = file.Append(out);
    if (writeError) return writeError;
    return file.Commit();
}

std::string GrepLinesOf(const ResultTree& tree, std::span<const NodeRef> nodes,
                        const ExportSettings& settings) {
    // The chosen hits of each file, in the tree's order.
    std::map<std::uint32_t, std::vector<std::uint32_t>> chosen;
    for (const NodeRef node : nodes) {
        if (!node.IsValid() || node.file >= tree.FileNodeCount()) continue;
        std::vector<std::uint32_t>& hits = chosen[node.file];
        if (node.IsHitNode()) {
            hits.push_back(node.hit);
            continue;
        }
        for (std::uint32_t hit = 0; hit < tree.ChildCount(node); ++hit)
            hits.push_back(hit);
    }
    std::string out;
    const std::unique_ptr<GrepPrinter> printer = MakeGrepPrinter(out);
    HitExporter exporter(*printer, settings);
    for (auto& [file, hits] : chosen) {
        std::sort(hits.begin(), hits.end());
        hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
        // A file that cannot be read again still gives its hits' places.
        exporter.ExportHits(tree, file, tree.CodePageOf({file, NodeRef::kNone}), hits);
    }
    return out;
}

} // namespace kelvara
