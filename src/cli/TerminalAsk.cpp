#include "cli/TerminalAsk.h"

#include <cstdio>
#include <string>

#include "common/AskUser.h"
#include "common/LocaleCodePage.h"

namespace kelvara {

namespace {

int Ask(const MessageBoxRequest& request, bool answerYes) {
    const std::string text = TextToLocale(request.text);
    if (request.style.buttons == MessageButtons::YesNo) {
        if (answerYes) return kIdYes;
        std::fprintf(stderr, "%s [y/N] ", text.c_str());
        std::fflush(stderr);
        char answer[16] = {};
        const bool yes = std::fgets(answer, sizeof answer, stdin) != nullptr &&
                         (answer[0] == 'y' || answer[0] == 'Y');
        return yes ? kIdYes : kIdNo;
    }
    if (request.style.icon == MessageIcon::Error) std::fprintf(stderr, "kelvara: ");
    std::fprintf(stderr, "%s\n", text.c_str());
    return request.style.defaultButton;
}

} // namespace

TerminalAsk::TerminalAsk(bool answerYes) {
    SetAskUserSink(
        [answerYes](const MessageBoxRequest& request) { return Ask(request, answerYes); });
}

TerminalAsk::~TerminalAsk() { SetAskUserSink({}); }

} // namespace kelvara
