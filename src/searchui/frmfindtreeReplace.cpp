#include <QComboBox>
#include <QPushButton>
#include <QTreeView>

#include "common/AskUser.h"
#include "common/IniFile.h"
#include "search/ChosenReplace.h"
#include "search/Journal.h"
#include "search/ReplaceUndo.h"
#include "searchui/DocumentFrame.h"
#include "searchui/PreviewPane.h"
#include "searchui/ResultTreeModel.h"
#include "searchui/ResultTreeView.h"
#include "searchui/UiText.h"
#include "searchui/frmfindtree.h"

// The batch window's replace of the ticked hits, its preview and its undo.
namespace kelvara {

namespace {

constexpr int kQuestionNoDefault = 1;
constexpr int kInformation = 0;

std::vector<std::string> PathsOf(const std::vector<FilePlan>& plan) {
    std::vector<std::string> paths;
    for (const FilePlan& file : plan)
        paths.push_back(file.path);
    return paths;
}

// The file nodes of a replace's tree: the files it rewrote.
std::vector<std::string> RewrittenPaths(const ResultTree& tree) {
    std::vector<std::string> paths;
    for (std::uint32_t file = 0; file < tree.FileNodeCount(); ++file)
        if (tree.ChildCount({file, NodeRef::kNone}) > 0)
            paths.push_back(tree.Caption({file, NodeRef::kNone}));
    return paths;
}

} // namespace

bool Tfrmfindtree::UnsavedDocumentsAllowed(const std::vector<std::string>& paths) {
    if (frame_ == nullptr) return true;
    const std::vector<std::string> unsaved = frame_->UnsavedAmong(paths);
    if (unsaved.empty()) return true;
    std::string list;
    for (const std::string& path : unsaved)
        list += "\n" + PathInText(path);
    return AskUser(MessageText(tr("以下文件打开着，还有没保存的修改；替换以后会问您保留哪一边。"
                                  "仍要替换吗？%1"),
                               {list}),
                   MessageText(tr("提醒")), kQuestionNoDefault) == kIdYes;
}

void Tfrmfindtree::FilesRewritten(const std::vector<std::string>& paths) {
    if (frame_ != nullptr && !paths.empty()) frame_->FilesRewritten(paths);
}

void Tfrmfindtree::ReplaceTickedClick() {
    if (Busy()) return;
    std::vector<FilePlan> plan;
    if (treeModel_->Tickable()) plan = PlanOfTicks(tree_);
    if (plan.empty()) {
        AskUser(MessageText(tr("请先查找，再勾选要替换的地方。")), "Kelvara", kInformation);
        return;
    }
    const std::string replacement = TypedText(cb4);
    if (replacement.empty()) {
        AskUser(MessageText(tr("请先输入要替换的字。")), "Kelvara", kInformation);
        return;
    }
    if (!UnsavedDocumentsAllowed(PathsOf(plan))) return;
    runReplaced_ = true;
    runReplacement_ = replacement;
    treeModel_->SetTickable(false);
    SetActivity(Activity::Running);
    const BatchHooks hooks{this, [this] { pump_(); }, &stopRequested_};
    const BatchResult result =
        RunChosenReplace(plan, runText_, replacement, runOptions_, tree_, hooks);
    if (result.outcome == BatchOutcome::NotStarted) treeModel_->SetTickable(true);
    if (!result.journalRun.empty()) lastRun_ = result.journalRun;
    EndActivity();
    FilesRewritten(RewrittenPaths(tree_));
}

void Tfrmfindtree::AfterBatchReplace(const BatchResult& result) {
    if (!result.journalRun.empty()) lastRun_ = result.journalRun;
    FilesRewritten(RewrittenPaths(tree_));
}

void Tfrmfindtree::UndoLastClick() {
    if (Busy()) return;
    if (AskUser(MessageText(tr("确定要撤销上次批量替换吗？")), MessageText(tr("提醒")),
                kQuestionNoDefault) != kIdYes)
        return;
    const JournalSettings settings = JournalSettingsOf(TIniFile(iniPath_));
    const UndoResult result = UndoReplaceRun(settings, lastRun_);
    lastRun_.clear(); // the next undo takes the newest run left
    if (!result.refused.empty()) {
        AskUser(TextFromUtf8(result.refused), "Kelvara", kInformation);
        return;
    }
    std::string text =
        MessageText(tr("撤销完毕：恢复文件 %1 个"), {std::to_string(result.restored.size())});
    for (const UndoSkip& skip : result.skipped)
        text += "\n" + PathInText(skip.path) + ": " + TextFromUtf8(skip.reason);
    AskUser(text, "^^", kInformation);
    FilesRewritten(result.restored);
}

void Tfrmfindtree::UpdatePreview() {
    if (!treeModel_->Tickable()) {
        preview_->Show({});
        return;
    }
    const NodeRef node = treeModel_->NodeAt(tv1->currentIndex());
    preview_->Show(previewer_.Show(tree_, node, runText_, TypedText(cb4), runOptions_));
}

} // namespace kelvara
