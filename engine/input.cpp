// Input state: raw facts written by the platform's event thread, latched once per frame into
// stable per-frame states for the application's queries.
#include "engine/tesserine.h"

#include <cmath>

namespace dral {

namespace {

void LatchButtons(ButtonState* states, bool* oldState, const std::atomic<bool>* newState,
                  int count) {
    for (int i = 0; i < count; i++) {
        ButtonState& s = states[i];
        const bool now = newState[i].load(std::memory_order_relaxed);
        s.pressed = false;
        s.released = false;
        if (now != oldState[i]) {
            if (now) {
                s.pressed = !s.held;
                s.held = true;
            } else {
                s.released = true;
                s.held = false;
            }
        }
        oldState[i] = now;
    }
}

// Window pixels to engine pixels along one axis; a window with no room (minimised) maps to 0.
// The differences are taken in 64 bits: any int32 position, window and offset is defined, and
// within int32 the result is the same as before.
int32_t MapAxis(int32_t pos, int32_t windowExtent, int32_t viewOffset, int32_t screenExtent) {
    const float span = static_cast<float>(int64_t(windowExtent) - 2 * int64_t(viewOffset));
    const float mapped =
        static_cast<float>(int64_t(pos) - viewOffset) / span * static_cast<float>(screenExtent);
    if (!std::isfinite(mapped)) return 0;
    // Clamped before the conversion, which would be undefined for huge values.
    int32_t cell = mapped >= static_cast<float>(screenExtent) ? screenExtent - 1
                   : mapped < 0.0f                            ? 0
                                                              : static_cast<int32_t>(mapped);
    return cell < 0 ? 0 : cell;
}

} // namespace

void Tesserine::LatchInput() {
    LatchButtons(keyboardState, keyOldState, keyNewState, KeyCount);
    LatchButtons(mouseState, mouseOldState, mouseNewState, MouseButtonCount);
}

void Tesserine::UpdateKeyState(int32_t key, bool down) {
    if (key >= 0 && key < KeyCount) keyNewState[key].store(down, std::memory_order_relaxed);
}

void Tesserine::UpdateMouseState(int32_t button, bool down) {
    if (button >= 0 && button < MouseButtonCount)
        mouseNewState[button].store(down, std::memory_order_relaxed);
}

void Tesserine::UpdateMouse(int32_t x, int32_t y) {
    const Vec2i window = windowSize.Load();
    const Vec2i offset = viewPos.Load();
    const Vec2i screen = screenSize.Load();
    mousePosCache.Store(
        {MapAxis(x, window.x, offset.x, screen.x), MapAxis(y, window.y, offset.y, screen.y)});
}

void Tesserine::UpdateMouseWheel(int32_t delta) {
    mouseWheelDeltaCache.fetch_add(delta, std::memory_order_relaxed);
}

void Tesserine::UpdateKeyFocus(bool focused) {
    hasInputFocus.store(focused, std::memory_order_relaxed);
}

ButtonState Tesserine::KeyState(Key k) const {
    const auto index = static_cast<uint32_t>(k);
    return index < KeyCount ? keyboardState[index] : ButtonState{};
}

ButtonState Tesserine::MouseButtonState(uint32_t b) const {
    return b < MouseButtonCount ? mouseState[b] : ButtonState{};
}

} // namespace dral
