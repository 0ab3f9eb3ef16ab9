#pragma once

namespace kelvara {

// While it lives, a Yes/No question of a run is a y/N prompt on the terminal,
// answered on standard input (or answered Yes at once when `answerYes`). Other
// message boxes show nothing: the command line reports the run's notices and
// errors from its result, with paths written as the file system gives them.
class TerminalAsk {
public:
    explicit TerminalAsk(bool answerYes);
    ~TerminalAsk();
    TerminalAsk(const TerminalAsk&) = delete;
    TerminalAsk& operator=(const TerminalAsk&) = delete;
};

} // namespace kelvara
