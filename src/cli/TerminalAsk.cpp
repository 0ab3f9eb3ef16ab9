#include "cli/TerminalAsk.h"

#include <cstdio>
#include <string>

#include "common/AskUser.h"
#include "common/LocaleCodePage.h"

namespace kelvara {

namespace {

int Ask(const MessageBoxRequest& request, bool answerYes) {
    if (request.style.buttons != MessageButtons::YesNo) return request.style.defaultButton;
    if (answerYes) return kIdYes;
    std::fprintf(stderr, "%s [y/N] ", TextToLocale(request.text).c_str());
    std::fflush(stderr);
    char answer[16] = {};
    const bool yes = std::fgets(answer, sizeof answer, stdin) != nullptr &&
                     (answer[0] == 'y' || answer[0] == 'Y');
    return yes ? kIdYes : kIdNo;
}

} // namespace

TerminalAsk::TerminalAsk(bool answerYes) {
    SetAskUserSink(
        [answerYes](const MessageBoxRequest& request) { return Ask(request, answerYes); });
}

TerminalAsk::~TerminalAsk() { SetAskUserSink({}); }

} // namespace kelvara
