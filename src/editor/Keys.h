#pragma once

namespace kelvara {

// Key codes the editor understands; the window maps its own codes onto these.
enum class Key : int {
    None = 0,
    Backspace = 8,
    Tab = 9,
    Clear = 12,
    Return = 13,
    Shift = 16,
    Control = 17,
    Alt = 18,
    Escape = 27,
    PageUp = 33,
    PageDown = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Insert = 45,
    Delete = 46,
    C = 'C',
    V = 'V',
    X = 'X',
    Z = 'Z',
};

enum class MouseButton { Left, Right, Middle };

// Modifier keys held with a key.
using ShiftState = unsigned;
constexpr ShiftState kNoShift = 0;
constexpr ShiftState kShift = 1;
constexpr ShiftState kAlt = 2;
constexpr ShiftState kCtrl = 4;

// True when the keys of `wanted` are held and no other modifier.
constexpr bool Exactly(ShiftState state, ShiftState wanted) { return state == wanted; }
constexpr bool Held(ShiftState state, ShiftState key) { return (state & key) != 0; }

} // namespace kelvara
