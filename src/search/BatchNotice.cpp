#include "search/BatchNotice.h"

#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "common/MessageCatalogue.h"

namespace kelvara {

namespace {

constexpr int kInformation = 0;
constexpr int kQuestionNoDefault = 1;
constexpr int kError = 2;

void AppendFileList(std::string& text, std::string_view utf8Heading,
                    const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    text += '\n';
    text += TextFromUtf8(utf8Heading);
    for (const std::string& path : paths) {
        text += '\n';
        text += path;
    }
}

} // namespace

bool ConfirmReplace() {
    return AskUser(TextFromUtf8(Translate("kelvara::BatchNotice", "确定要替换吗？")),
                   TextFromUtf8(Translate("kelvara::BatchNotice", "提醒")),
                   kQuestionNoDefault) == kIdYes;
}

FileError OutOfMemory(const std::string& path) {
    return {path, std::string(Translate("kelvara::FileErrors", "内存不足"))};
}

BatchResult FailRun(BatchObserver* observer, BatchResult result, const FileError& error) {
    if (observer != nullptr) observer->RunEnding();
    AskUser(error.Message(), "Kelvara", kError);
    result.outcome = BatchOutcome::Failed;
    result.error = error;
    return result;
}

std::string PatternFaultText(const PatternError& error) {
    return error.column > 0 ? FormatMessage(Translate("kelvara::BatchNotice",
                                                      "正则表达式有误，在第 %1 个字符：%2"),
                                            {std::to_string(error.column), error.message})
                            : FormatMessage(Translate("kelvara::BatchNotice", "正则表达式有误：%1"),
                                            {error.message});
}

BatchResult FailPattern(BatchObserver* observer, BatchResult result, const PatternError& error) {
    if (observer != nullptr) observer->RunEnding();
    const std::string message = PatternFaultText(error);
    AskUser(TextFromUtf8(message), "Kelvara", kError);
    result.outcome = BatchOutcome::Failed;
    result.error = FileError{{}, message};
    return result;
}

void ShowDoneNotice(BatchObserver* observer, std::string_view utf8Text,
                    const std::vector<std::string>& nulFiles,
                    const std::vector<std::string>& changedFiles,
                    const std::vector<LeftFile>& encodingFiles,
                    const std::vector<CutLine>& cutLines) {
    if (observer != nullptr) observer->RunEnding();
    std::string text = TextFromUtf8(utf8Text);
    AppendFileList(text, Translate("kelvara::BatchNotice", "以下文件含有 NUL 字节，没有改写："),
                   nulFiles);
    AppendFileList(
        text, Translate("kelvara::BatchNotice", "以下文件在替换期间被其他程序改动，没有改写："),
        changedFiles);
    if (!encodingFiles.empty()) {
        text += '\n';
        text += TextFromUtf8(Translate("kelvara::BatchNotice", "以下文件因编码没有处理："));
        for (const LeftFile& file : encodingFiles) {
            text += '\n';
            text += file.path;
            text += ": ";
            text += TextFromUtf8(file.reason);
        }
    }
    if (!cutLines.empty()) {
        text += '\n';
        text += TextFromUtf8(Translate("kelvara::BatchNotice",
                                       "正则表达式在以下行试得太久，这些行的其余部分没有查找："));
        for (const CutLine& cut : cutLines) {
            text += '\n';
            text += cut.path + ":" + std::to_string(cut.line);
        }
    }
    AskUser(text, "^^", kInformation);
}

} // namespace kelvara
