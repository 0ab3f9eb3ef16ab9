#pragma once

#include <array>
#include <string>
#include <string_view>

#include "FakeHost.h"

namespace kelvara::test {

// Plays bytes as a user's session with a windowed editor: mouse presses,
// moves and releases (drags included), timer ticks, keys, typed characters,
// the clipboard, undo and redo, and selections set from code. Each operation
// takes one byte for its kind and a few for its arguments; missing bytes
// read as 0. The seeded random tests and the fuzz target share it.
class EditorScript {
public:
    EditorScript(TMemoComponent& editor, FakeHost& host) : editor_(editor), host_(host) {}

    // Plays the operation at the front of `bytes` and drops its bytes;
    // false when there are none left.
    bool Step(std::string_view& bytes) {
        if (bytes.empty()) return false;
        bytes_ = &bytes;
        switch (Next() % 12) {
        case 0: {
            const Mouse mouse = ReadMouse();
            editor_.MouseDown(mouse.button, mouse.shift, mouse.x, mouse.y);
            break;
        }
        case 1:
        case 2: { // moves come often: they drive the drags
            const Mouse mouse = ReadMouse();
            host_.mouse = {mouse.x, mouse.y};
            editor_.MouseMove(mouse.shift, mouse.x, mouse.y);
            break;
        }
        case 3: {
            const Mouse mouse = ReadMouse();
            editor_.MouseUp(mouse.button, mouse.shift, mouse.x, mouse.y);
            break;
        }
        case 4:
            editor_.DblClick();
            break;
        case 5:
            editor_.WMTimer(TMemoComponent::kDragTimer);
            break;
        case 6: {
            const Key key = KeyOf(Next());
            editor_.KeyDown(key, Shift());
            break;
        }
        case 7:
            editor_.KeyPress(Typed(Next()));
            break;
        case 8:
            editor_.KeyUp(Key::Control, Shift());
            break;
        case 9:
            if (Next() % 2 == 0) {
                editor_.Undo();
            } else {
                editor_.Redo();
            }
            break;
        case 10:
            host_.clipboard = Typed(Next());
            editor_.KeyDown(Key::V, kCtrl);
            break;
        default: { // a selection from code, as the find dialog sets one
            editor_.SetSelStart(Next() * editor_.TextLength() / 255);
            editor_.SetSelLength(Next() % 8);
            break;
        }
        }
        return true;
    }

    // Releases the buttons, as every session ends.
    void Finish() {
        editor_.MouseUp(MouseButton::Left, kNoShift, host_.mouse.X, host_.mouse.Y);
        editor_.MouseUp(MouseButton::Right, kNoShift, host_.mouse.X, host_.mouse.Y);
    }

private:
    struct Mouse {
        MouseButton button;
        ShiftState shift;
        int x, y;
    };

    // Arguments are read one statement at a time: the order in which a call
    // evaluates its arguments differs between compilers.
    Mouse ReadMouse() {
        Mouse mouse{};
        mouse.button = Button();
        mouse.shift = Shift();
        mouse.x = X();
        mouse.y = Y();
        return mouse;
    }
    int Next() {
        if (bytes_->empty()) return 0;
        const auto byte = static_cast<unsigned char>(bytes_->front());
        bytes_->remove_prefix(1);
        return byte;
    }
    MouseButton Button() {
        const int b = Next() % 4;
        return b == 3 ? MouseButton::Middle : b == 2 ? MouseButton::Right : MouseButton::Left;
    }
    ShiftState Shift() { return static_cast<ShiftState>(Next() % 8); }
    // Pixels reach a little beyond the window on every side.
    int X() { return Next() * (host_.width + 40) / 255 - 20; }
    int Y() { return Next() * (host_.height + 60) / 255 - 20; }

    static Key KeyOf(int byte) {
        static constexpr std::array kKeys = {
            Key::Backspace, Key::Tab,    Key::Clear,  Key::Return,   Key::Shift,  Key::Control,
            Key::Alt,       Key::Escape, Key::PageUp, Key::PageDown, Key::End,    Key::Home,
            Key::Left,      Key::Up,     Key::Right,  Key::Down,     Key::Insert, Key::Delete,
            Key::C,         Key::V,      Key::X,      Key::Z};
        return kKeys[static_cast<std::size_t>(byte) % kKeys.size()];
    }
    // Characters of both code pages, line breaks, and a combining mark.
    static std::string Typed(int byte) {
        static constexpr std::array<std::string_view, 12> kTyped = {
            "a",        "b",     " ", "_", "\r", "(", "{", "\t", "\xB0\xA1", "\xE4\xB8\xAD",
            "\xCC\x81", "x\r\ny"};
        return std::string(kTyped[static_cast<std::size_t>(byte) % kTyped.size()]);
    }

    TMemoComponent& editor_;
    FakeHost& host_;
    std::string_view* bytes_ = nullptr;
};

} // namespace kelvara::test
