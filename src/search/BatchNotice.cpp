#include "search/BatchNotice.h"

#include "common/AskUser.h"
#include "common/CodePageConversion.h"

namespace kelvara {

namespace {

constexpr int kInformation = 0;
constexpr int kQuestionNoDefault = 1;
constexpr int kError = 2;

} // namespace

bool ConfirmReplace() {
    return AskUser(TextFromUtf8("确定要替换吗？"), TextFromUtf8("提醒"), kQuestionNoDefault) ==
           kIdYes;
}

BatchResult FailRun(BatchResult result, const FileError& error) {
    AskUser(error.Message(), "Kelvara", kError);
    result.outcome = BatchOutcome::Failed;
    result.error = error;
    return result;
}

void ShowDoneNotice(std::string_view utf8Text, const std::vector<std::string>& nulFiles) {
    std::string text = TextFromUtf8(utf8Text);
    if (!nulFiles.empty()) {
        text += '\n';
        text += TextFromUtf8("以下文件含有 NUL 字节，没有改写：");
        for (const std::string& path : nulFiles) {
            text += '\n';
            text += path;
        }
    }
    AskUser(text, "^^", kInformation);
}

} // namespace kelvara
