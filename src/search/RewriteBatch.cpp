#include "search/RewriteBatch.h"

namespace kelvara {

namespace {

// Each file of a batch keeps a temporary file and its folder open.
constexpr std::size_t kBatchFiles = 64;

} // namespace

FileRewrite& RewriteBatch::Next() {
    if (rewrites_.size() <= pending_.size()) rewrites_.push_back(std::make_unique<FileRewrite>());
    return *rewrites_[pending_.size()];
}

FileStatus RewriteBatch::Add(const std::string& path, const FileIdentity& old,
                             std::string_view oldBytes, std::uint32_t tag) {
    FileRewrite& rewrite = *rewrites_[pending_.size()];
    std::uint32_t journalIndex = 0;
    if (FileStatus error = journal_.Add(path, rewrite, old, oldBytes, journalIndex)) {
        rewrite.Abandon();
        return error;
    }
    pending_.push_back({path, tag, journalIndex});
    return std::nullopt;
}

bool RewriteBatch::Full() const noexcept { return pending_.size() >= kBatchFiles; }

std::vector<RewriteBatch::Outcome> RewriteBatch::Commit() {
    std::vector<Outcome> outcomes;
    FileStatus failed = pending_.empty() ? std::nullopt : journal_.Sync();
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        FileRewrite& rewrite = *rewrites_[i];
        Outcome outcome{pending_[i].tag, std::move(pending_[i].path), failed, false};
        if (!failed) {
            outcome.error = rewrite.Commit();
            outcome.changedMeanwhile = outcome.error && rewrite.ChangedMeanwhile();
            if (!outcome.error)
                journal_.Written(pending_[i].journalIndex);
            else if (!outcome.changedMeanwhile)
                failed = outcome.error;
        }
        rewrite.Abandon();
        outcomes.push_back(std::move(outcome));
    }
    pending_.clear();
    return outcomes;
}

} // namespace kelvara
