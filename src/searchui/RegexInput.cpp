#include "searchui/RegexInput.h"

#include <QCoreApplication>

#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "platform/UiText.h"

namespace kelvara {

namespace {

constexpr int kError = 2;

} // namespace

void TellPatternFault(const PatternError& fault) {
    const std::string message =
        fault.column > 0
            ? MessageText(
                  QCoreApplication::translate("RegexInput", "正则表达式有误，在第 %1 个字符：%2"),
                  {std::to_string(fault.column), TextFromUtf8(fault.message)})
            : MessageText(QCoreApplication::translate("RegexInput", "正则表达式有误：%1"),
                          {TextFromUtf8(fault.message)});
    AskUser(message, "Kelvara", kError);
}

std::optional<TypedRegex> CompileTypedRegex(const QString& pattern, const QString* replacement,
                                            const RegexOptions& options) {
    PatternError error;
    std::shared_ptr<const RegexPattern> compiled =
        RegexPattern::Compile(pattern.toStdString(), options, error);
    if (!compiled) {
        TellPatternFault(error);
        return std::nullopt;
    }
    TypedRegex typed{compiled, nullptr};
    if (replacement == nullptr) return typed;
    std::string problem;
    std::optional<RegexReplacement> parsed =
        RegexReplacement::Parse(replacement->toStdString(), *compiled, problem);
    if (!parsed) {
        AskUser(MessageText(QCoreApplication::translate("RegexInput", "替换的字有误：%1"),
                            {TextFromUtf8(problem)}),
                "Kelvara", kError);
        return std::nullopt;
    }
    typed.replacement = std::make_shared<const RegexReplacement>(std::move(*parsed));
    return typed;
}

} // namespace kelvara
