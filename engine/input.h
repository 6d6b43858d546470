// Keyboard and mouse vocabulary: the per-frame button state and the engine's fixed key values,
// which index the 256-entry key arrays.
#pragma once

#include <cstdint>

namespace dral {

/// One key's or mouse button's state in the current frame, as Tesserine::KeyState returns it.
struct ButtonState {
    bool pressed = false;  ///< went down in this frame
    bool released = false; ///< went up in this frame
    bool held = false;     ///< is down
};

/// The engine's keys. Their values are fixed and index the 256-entry key state arrays.
enum class Key : uint8_t {
    None = 0,
    A,
    B,
    C,
    D,
    E,
    F,
    G,
    H,
    I,
    J,
    K,
    L,
    M,
    N,
    O,
    P,
    Q,
    R,
    S,
    T,
    U,
    V,
    W,
    X,
    Y,
    Z,
    K0,
    K1,
    K2,
    K3,
    K4,
    K5,
    K6,
    K7,
    K8,
    K9,
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
    Up,
    Down,
    Left,
    Right,
    Space,
    Tab,
    Shift,
    Ctrl,
    Ins,
    Del,
    Home,
    End,
    PgUp,
    PgDn,
    Back,
    Escape,
    // 65 is left free: no key produces it.
    Enter = 66,
    Pause,
    ScrollLock,
    Np0,
    Np1,
    Np2,
    Np3,
    Np4,
    Np5,
    Np6,
    Np7,
    Np8,
    Np9,
    NpMul,
    NpDiv,
    NpAdd,
    NpSub,
    NpDecimal,
};
static_assert(static_cast<int>(Key::W) == 23 && static_cast<int>(Key::Escape) == 64 &&
              static_cast<int>(Key::Np0) == 69 && static_cast<int>(Key::NpDecimal) == 83);

/// Entries of the key state arrays: every uint8_t key value has one.
inline constexpr int KeyCount = 256;
/// Mouse buttons the engine tracks: 0 left, 1 right, 2 middle, 3 and 4 the side buttons.
inline constexpr int MouseButtonCount = 5;
/// One notch of the mouse wheel in the units of Tesserine::MouseWheel, as Windows counts it.
inline constexpr int32_t WheelNotch = 120;

} // namespace dral
