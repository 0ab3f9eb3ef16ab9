#include "common/AskUser.h"

#include <array>
#include <cstdio>
#include <string>

#include "common/LocaleCodePage.h"

namespace kelvara {

namespace {

using enum MessageButtons;
using enum MessageIcon;

constexpr std::array<MessageBoxStyle, 8> kKinds = {{
    {Ok, Information, kIdOk, 0x40},
    {YesNo, Question, kIdNo, 0x124},
    {Ok, Error, kIdOk, 0x10},
    {YesNo, Question, kIdYes, 0x24},
    {YesNoCancel, Question, kIdYes, 0x23},
    {YesNoCancel, Question, kIdNo, 0x123},
    {YesNoCancel, Question, kIdCancel, 0x223},
    {AbortRetryIgnore, Question, kIdIgnore, 0x222},
}};

int AnswerOnStandardError(const MessageBoxRequest& request) {
    std::string line(request.caption);
    line.append(": ").append(request.text).append("\n");
    const std::string out = TextToLocale(line);
    std::fwrite(out.data(), 1, out.size(), stderr);
    return request.style.defaultButton;
}

AskUserSink& Sink() {
    static AskUserSink sink = AnswerOnStandardError;
    return sink;
}

int unattended = 0; // UnattendedBoxes alive; boxes belong to the window thread

} // namespace

std::optional<MessageBoxStyle> MessageBoxStyleOfKind(int kind) {
    if (kind < 0 || kind >= static_cast<int>(kKinds.size())) return std::nullopt;
    return kKinds[static_cast<std::size_t>(kind)];
}

void SetAskUserSink(AskUserSink sink) {
    Sink() = sink ? std::move(sink) : AskUserSink(AnswerOnStandardError);
}

int AskUser(std::string_view text, std::string_view caption, int kind) {
    const std::optional<MessageBoxStyle> style = MessageBoxStyleOfKind(kind);
    if (!style) return 0;
    const MessageBoxRequest request{text, caption, *style};
    return unattended > 0 ? AnswerOnStandardError(request) : Sink()(request);
}

UnattendedBoxes::UnattendedBoxes() { ++unattended; }

UnattendedBoxes::~UnattendedBoxes() { --unattended; }

} // namespace kelvara
