// Input vocabulary: the per-frame button state, the engine's fixed key values (which index the
// 256-entry key arrays), the gamepad's buttons and axes, and the hand-over of pad state and typed
// text from the event thread to the engine thread, and the raw input of one frame as drivers read
// and feed it. Needs: engine/vec2.h.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "engine/vec2.h"

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

/// Buttons of a gamepad with the standard layout (two sticks, a d-pad, four face buttons, two
/// shoulders, two triggers, Back, Start and the centre button). The face buttons are named by
/// their place on an Xbox pad: A bottom, B right, X left, Y top.
enum class PadButton : uint8_t {
    A,
    B,
    X,
    Y,
    LeftShoulder,
    RightShoulder,
    LeftTrigger,  ///< down while the trigger's axis is at PadTriggerPoint or beyond
    RightTrigger, ///< down while the trigger's axis is at PadTriggerPoint or beyond
    Back,
    Start,
    Guide,      ///< the centre button
    LeftStick,  ///< the left stick pushed in
    RightStick, ///< the right stick pushed in
    Up,         ///< d-pad
    Down,       ///< d-pad
    Left,       ///< d-pad
    Right,      ///< d-pad
};
/// Buttons per pad.
inline constexpr int PadButtonCount = 17;

/// Axes of a standard gamepad. Sticks read −1 to 1, x positive to the right and y positive
/// downwards (as on the screen); triggers read 0 (released) to 1 (fully pulled).
enum class PadAxis : uint8_t { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger };
/// Axes per pad.
inline constexpr int PadAxisCount = 6;
/// Pads the engine tracks, numbered 0 to 3 in the order they were connected.
inline constexpr int PadCount = 4;
/// An axis within this distance of its rest reads exactly 0; past it the rest of the travel is
/// stretched to cover 0 to 1, so a worn stick at rest does not drift and full travel still reads 1.
inline constexpr float PadDeadZone = 0.2f;
/// How far a trigger's axis must travel (after the dead zone) for its button to be down.
inline constexpr float PadTriggerPoint = 0.5f;

/// An axis value as a frame reads it: the raw value clamped to −1..1 (NaN reads 0), with the dead
/// zone applied.
float ApplyPadDeadZone(float raw);

/// One pad as the platform last reported it. Written by the event thread, read by the latch; every
/// field is a lock-free atomic.
struct PadReport {
    std::atomic<bool> connected{false};        ///< the pad is plugged in
    std::atomic<bool> connectTapped{false};    ///< it was plugged in since the last latch
    std::atomic<bool> buttons[PadButtonCount]; ///< raw down (true) or up
    std::atomic<bool> tapped[PadButtonCount];  ///< went down since the last latch
    std::atomic<float> axes[PadAxisCount];     ///< raw axis values, clamped
    /// Unplugged, every button up and every axis at 0.
    PadReport();
};

/// One pad as the current frame latched it; engine thread only.
struct PadFrame {
    bool oldConnected = false;                ///< the connection the latch last read
    ButtonState connection;                   ///< pressed when plugged in, released when pulled
    bool oldButtons[PadButtonCount] = {};     ///< the raw buttons the latch last read
    ButtonState buttons[PadButtonCount] = {}; ///< each button's state in this frame
    float rawAxes[PadAxisCount] = {};         ///< the raw axes the latch read
    float axes[PadAxisCount] = {};            ///< the axes with the dead zone applied
};

/// Characters typed between two frames, handed from one writing thread (the event thread) to the
/// engine thread without a lock: a ring of code points with atomic ends. Text typed faster than
/// Capacity characters a frame loses the excess.
class TypedTextQueue {
  public:
    /// Code points one frame can take.
    static constexpr uint32_t Capacity = 256;
    /// Most UTF-8 bytes one frame's text can have.
    static constexpr uint32_t MaxBytes = Capacity * 4;
    /// An empty queue.
    TypedTextQueue();
    /// Appends one character. False, keeping nothing, for a control character, a surrogate, a
    /// value past U+10FFFF, or a full queue. The writing thread.
    bool Push(char32_t c);
    /// Appends every character of valid UTF-8 text; malformed sequences and control characters are
    /// skipped. The writing thread.
    void PushUtf8(const char* text, size_t size);
    /// Replaces `out` with the characters queued so far, as UTF-8, and empties the queue. Engine
    /// thread; allocates nothing once `out` holds MaxBytes.
    void Drain(std::string& out);

  private:
    std::atomic<char32_t> ring[Capacity];
    std::atomic<uint32_t> head{0}; // next slot to write, counted from the start
    std::atomic<uint32_t> tail{0}; // next slot to read
};

/// One pad as a frame latched it: plugged in or not, its raw buttons and its raw axes. A pad that
/// is not plugged in has every button up and every axis at 0.
struct RawPad {
    bool connected = false;            ///< the pad was plugged in
    bool buttons[PadButtonCount] = {}; ///< raw button states, indexed by PadButton
    float axes[PadAxisCount] = {};     ///< raw axis values, before the dead zone
};

/// The raw input one frame latched: key and mouse-button states (true = down), the mouse position
/// in engine pixels, the wheel movement of the frame, the focus and the window's drawing area, the
/// pads and the text typed for the frame. Tesserine::LatchedInput reads it, FeedInput hands it to
/// the next latch.
struct RawInput {
    bool keys[KeyCount] = {};                 ///< raw key states, indexed by Key value
    bool mouseButtons[MouseButtonCount] = {}; ///< raw button states: 0 left, 1 right, 2 middle
    Vec2i mousePos{0, 0};                     ///< the frame's mouse position, in engine pixels
    int32_t mouseWheel = 0;                   ///< the frame's wheel movement
    bool focused = false;                     ///< whether the window had the keyboard focus
    Vec2i windowSize{0, 0};                   ///< the window's drawing area, in window pixels
    RawPad pads[PadCount];                    ///< the pads, by engine pad number
    uint16_t textSize = 0;                    ///< bytes of typed text in text
    char text[TypedTextQueue::MaxBytes] = {}; ///< the frame's typed text, UTF-8 (not terminated)
};

} // namespace dral
