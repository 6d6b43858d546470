// Input state: raw facts written by the platform's event thread, latched once per frame into
// stable per-frame states for the application's queries.
#include "engine/tesserine.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dral {

namespace {

// A button that was up at the last latch and went down and up again since counts as down for
// this latch, so that the press shows in this frame and the release in the next; every other
// sequence latches the raw state as it stands.
void LatchButtons(ButtonState* states, bool* oldState, const std::atomic<bool>* newState,
                  std::atomic<bool>* tapped, int count) {
    for (int i = 0; i < count; i++) {
        ButtonState& s = states[i];
        const bool down = newState[i].load(std::memory_order_relaxed);
        const bool tap = tapped[i].exchange(false, std::memory_order_relaxed);
        const bool now = down || (tap && !oldState[i]);
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

// Stores a raw button state; a press of a button that was up also marks it tapped, which keeps the
// press for the next latch even if the release comes before it.
void ReportButton(std::atomic<bool>& state, std::atomic<bool>& tapped, bool down) {
    const bool wasDown = state.exchange(down, std::memory_order_relaxed);
    if (down && !wasDown) tapped.store(true, std::memory_order_relaxed);
}

// Window pixels to engine pixels along one axis; a window with no room (minimised) maps to 0.
int32_t MapAxis(int32_t pos, int32_t windowExtent, int32_t viewOffset, int32_t screenExtent) {
    const float span = static_cast<float>(windowExtent - 2 * viewOffset);
    const float mapped =
        static_cast<float>(pos - viewOffset) / span * static_cast<float>(screenExtent);
    if (!std::isfinite(mapped)) return 0;
    // Clamped before the conversion, which would be undefined for huge values.
    int32_t cell = mapped >= static_cast<float>(screenExtent) ? screenExtent - 1
                   : mapped < 0.0f                            ? 0
                                                              : static_cast<int32_t>(mapped);
    return cell < 0 ? 0 : cell;
}

} // namespace

void Tesserine::LatchInput() {
    LatchButtons(keyboardState, keyOldState, keyNewState, keyTapped, KeyCount);
    LatchButtons(mouseState, mouseOldState, mouseNewState, mouseTapped, MouseButtonCount);
}

void Tesserine::UpdateKeyState(int32_t key, bool down) {
    if (key >= 0 && key < KeyCount) ReportButton(keyNewState[key], keyTapped[key], down);
}

void Tesserine::UpdateMouseState(int32_t button, bool down) {
    if (button >= 0 && button < MouseButtonCount)
        ReportButton(mouseNewState[button], mouseTapped[button], down);
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

void Tesserine::UpdateMouseWheelNotches(int32_t notches) {
    // Beyond a few million notches the sum would wrap; no wheel turns that far in one event.
    constexpr int32_t most = std::numeric_limits<int32_t>::max() / WheelNotch;
    UpdateMouseWheel(std::clamp(notches, -most, most) * WheelNotch);
}

// The releases of whatever is held when the focus goes reach another window, or no window at all,
// so the engine lets go of every key and mouse button itself. Presses already made since the last
// frame still show.
void Tesserine::UpdateKeyFocus(bool focused) {
    hasInputFocus.store(focused, std::memory_order_relaxed);
    if (focused) return;
    for (int k = 0; k < KeyCount; k++) keyNewState[k].store(false, std::memory_order_relaxed);
    for (int b = 0; b < MouseButtonCount; b++)
        mouseNewState[b].store(false, std::memory_order_relaxed);
}

ButtonState Tesserine::KeyState(Key k) const {
    const auto index = static_cast<uint32_t>(k);
    return index < KeyCount ? keyboardState[index] : ButtonState{};
}

ButtonState Tesserine::MouseButtonState(uint32_t b) const {
    return b < MouseButtonCount ? mouseState[b] : ButtonState{};
}

} // namespace dral
