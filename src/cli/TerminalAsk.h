#pragma once

namespace kelvara {

// While it lives, message boxes are shown on the terminal: notices and errors
// as lines on standard error, a Yes/No question as a y/N prompt answered on
// standard input (or answered Yes at once when `answerYes`).
class TerminalAsk {
public:
    explicit TerminalAsk(bool answerYes);
    ~TerminalAsk();
    TerminalAsk(const TerminalAsk&) = delete;
    TerminalAsk& operator=(const TerminalAsk&) = delete;
};

} // namespace kelvara
