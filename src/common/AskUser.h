#pragma once

#include <functional>
#include <optional>
#include <string_view>

// The program's message boxes: a kind 0..7 chooses the buttons, the icon and
// the default button; the answer is the code of the button pressed. The box
// itself is shown by a sink that the window layer (or a test) installs.
namespace kelvara {

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2; // also Esc or the close box where Cancel exists
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

enum class MessageButtons { Ok, YesNo, YesNoCancel, AbortRetryIgnore };
enum class MessageIcon { Information, Question, Error };

struct MessageBoxStyle {
    MessageButtons buttons;
    MessageIcon icon;
    int defaultButton; // a button code
    unsigned flags;    // the same choice as one word of style bits
};

// The style of a kind 0..7; none for any other kind.
std::optional<MessageBoxStyle> MessageBoxStyleOfKind(int kind);

struct MessageBoxRequest {
    std::string_view text;    // the body, in the text code page
    std::string_view caption; // the title, in the text code page
    MessageBoxStyle style;
};

// Shows the box modally and returns the code of the button pressed.
using AskUserSink = std::function<int(const MessageBoxRequest&)>;

// Installs the sink; an empty one restores the default, which writes
// "caption: text" to standard error and answers with the default button.
void SetAskUserSink(AskUserSink sink);

// Shows a box of the given kind; a kind outside 0..7 shows nothing and
// returns 0.
int AskUser(std::string_view text, std::string_view caption, int kind);

// While one lives, every box goes to standard error and takes its default
// answer, whatever sink is installed: for work done when nobody may be there
// to answer, such as a close asked for by a signal.
class UnattendedBoxes {
public:
    UnattendedBoxes();
    ~UnattendedBoxes();
    UnattendedBoxes(const UnattendedBoxes&) = delete;
    UnattendedBoxes& operator=(const UnattendedBoxes&) = delete;
};

} // namespace kelvara
