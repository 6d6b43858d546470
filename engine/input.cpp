// Input state: raw facts written by the platform's event thread, latched once per frame into
// stable per-frame states for the application's queries; and the raw input of a whole frame as
// drivers (a recorder, a replay) read and feed it.
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

// Whether the pad index names one of the engine's pads.
bool IsPad(int64_t pad) {
    return pad >= 0 && pad < PadCount;
}

bool IsTrigger(PadAxis axis) {
    return axis == PadAxis::LeftTrigger || axis == PadAxis::RightTrigger;
}

PadButton TriggerButton(PadAxis axis) {
    return axis == PadAxis::LeftTrigger ? PadButton::LeftTrigger : PadButton::RightTrigger;
}

// The length of the UTF-8 sequence that starts with `lead`, 0 for a byte that cannot start one.
size_t SequenceLength(uint8_t lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Decodes the sequence of `length` bytes at `text`; U+FFFFFFFF when it is malformed (a bad
// continuation byte or an overlong form). Surrogates and values past U+10FFFF are left for Push.
char32_t DecodeSequence(const uint8_t* text, size_t length) {
    constexpr char32_t bad = 0xFFFFFFFF;
    constexpr char32_t leadMask[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    constexpr char32_t shortest[5] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t c = text[0] & leadMask[length];
    for (size_t i = 1; i < length; i++) {
        if ((text[i] & 0xC0) != 0x80) return bad;
        c = (c << 6) | (text[i] & 0x3F);
    }
    return c < shortest[length] ? bad : c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
        return;
    }
    const int extra = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    constexpr uint8_t lead[4] = {0, 0xC0, 0xE0, 0xF0};
    out.push_back(static_cast<char>(lead[extra] | (c >> (6 * extra))));
    for (int i = extra - 1; i >= 0; i--)
        out.push_back(static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F)));
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

// One pad's latch. Its buttons and axes read as released and centred while it is not plugged in,
// whatever reports were under way as it was pulled out.
void LatchPad(PadFrame& frame, PadReport& report) {
    LatchButtons(&frame.connection, &frame.oldConnected, &report.connected, &report.connectTapped,
                 1);
    static const std::atomic<bool> allUp[PadButtonCount] = {};
    const bool plugged = frame.connection.held;
    if (!plugged)
        for (auto& t : report.tapped) t.store(false, std::memory_order_relaxed);
    LatchButtons(frame.buttons, frame.oldButtons, plugged ? report.buttons : allUp, report.tapped,
                 PadButtonCount);
    for (int a = 0; a < PadAxisCount; a++) {
        frame.rawAxes[a] = plugged ? report.axes[a].load(std::memory_order_relaxed) : 0.0f;
        frame.axes[a] = ApplyPadDeadZone(frame.rawAxes[a]);
    }
}

} // namespace

float ApplyPadDeadZone(float raw) {
    if (!(raw == raw)) return 0.0f; // NaN
    const float size = std::min(std::fabs(raw), 1.0f);
    if (size < PadDeadZone) return 0.0f;
    const float stretched = (size - PadDeadZone) / (1.0f - PadDeadZone);
    return raw < 0.0f ? -stretched : stretched;
}

PadReport::PadReport() {
    for (auto& b : buttons) b.store(false, std::memory_order_relaxed);
    for (auto& t : tapped) t.store(false, std::memory_order_relaxed);
    for (auto& a : axes) a.store(0.0f, std::memory_order_relaxed);
}

TypedTextQueue::TypedTextQueue() {
    for (auto& slot : ring) slot.store(0, std::memory_order_relaxed);
}

bool TypedTextQueue::Push(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF)
        return false;
    const uint32_t at = head.load(std::memory_order_relaxed);
    if (at - tail.load(std::memory_order_acquire) >= Capacity) return false;
    ring[at % Capacity].store(c, std::memory_order_relaxed);
    head.store(at + 1, std::memory_order_release);
    return true;
}

void TypedTextQueue::PushUtf8(const char* text, size_t size) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    for (size_t i = 0; i < size;) {
        const size_t length = SequenceLength(bytes[i]);
        if (length == 0 || length > size - i) {
            i++; // a stray byte, or a sequence the text cuts off
            continue;
        }
        const char32_t c = DecodeSequence(bytes + i, length);
        if (c == 0xFFFFFFFF) {
            i++;
            continue;
        }
        Push(c);
        i += length;
    }
}

void TypedTextQueue::Drain(std::string& out) {
    out.clear();
    const uint32_t end = head.load(std::memory_order_acquire);
    uint32_t at = tail.load(std::memory_order_relaxed);
    for (; at != end; at++) AppendUtf8(out, ring[at % Capacity].load(std::memory_order_relaxed));
    tail.store(at, std::memory_order_release);
}

void Tesserine::LatchInput() {
    LatchButtons(keyboardState, keyOldState, keyNewState, keyTapped, KeyCount);
    LatchButtons(mouseState, mouseOldState, mouseNewState, mouseTapped, MouseButtonCount);
    for (int p = 0; p < PadCount; p++) LatchPad(padFrames[p], padReports[p]);
    typedQueue.Drain(typedText);
}

void Tesserine::UpdatePadConnection(int32_t pad, bool connected) {
    if (!IsPad(pad)) return;
    PadReport& report = padReports[pad];
    if (!connected) {
        for (auto& b : report.buttons) b.store(false, std::memory_order_relaxed);
        for (auto& a : report.axes) a.store(0.0f, std::memory_order_relaxed);
    }
    ReportButton(report.connected, report.connectTapped, connected);
}

// Reports of a pad that is not plugged in are stray: they would leave its buttons down for good.
bool Tesserine::IsPlugged(int32_t pad) const {
    return IsPad(pad) && padReports[pad].connected.load(std::memory_order_relaxed);
}

void Tesserine::UpdatePadButton(int32_t pad, PadButton button, bool down) {
    const auto b = static_cast<uint32_t>(button);
    if (!IsPlugged(pad) || b >= PadButtonCount || button == PadButton::LeftTrigger ||
        button == PadButton::RightTrigger)
        return;
    ReportButton(padReports[pad].buttons[b], padReports[pad].tapped[b], down);
}

void Tesserine::UpdatePadAxis(int32_t pad, PadAxis axis, float value) {
    const auto a = static_cast<uint32_t>(axis);
    if (!IsPlugged(pad) || a >= PadAxisCount) return;
    const float low = IsTrigger(axis) ? 0.0f : -1.0f;
    const float clamped = value == value ? std::clamp(value, low, 1.0f) : 0.0f;
    PadReport& report = padReports[pad];
    report.axes[a].store(clamped, std::memory_order_relaxed);
    if (!IsTrigger(axis)) return;
    const auto b = static_cast<uint32_t>(TriggerButton(axis));
    ReportButton(report.buttons[b], report.tapped[b], ApplyPadDeadZone(clamped) >= PadTriggerPoint);
}

void Tesserine::UpdateTypedText(std::string_view text) {
    typedQueue.PushUtf8(text.data(), text.size());
}

bool Tesserine::UpdateTypedChar(char32_t c) {
    return typedQueue.Push(c);
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

ButtonState Tesserine::PadConnection(uint32_t pad) const {
    return IsPad(pad) ? padFrames[pad].connection : ButtonState{};
}

ButtonState Tesserine::PadButtonState(uint32_t pad, PadButton button) const {
    const auto b = static_cast<uint32_t>(button);
    return IsPad(pad) && b < PadButtonCount ? padFrames[pad].buttons[b] : ButtonState{};
}

float Tesserine::PadAxisValue(uint32_t pad, PadAxis axis) const {
    const auto a = static_cast<uint32_t>(axis);
    return IsPad(pad) && a < PadAxisCount ? padFrames[pad].axes[a] : 0.0f;
}

// Exactly what the latch of this frame used: after the latch the old states are the raw ones.
RawInput Tesserine::LatchedInput() const {
    RawInput input;
    for (int k = 0; k < KeyCount; k++) input.keys[k] = keyOldState[k];
    for (int b = 0; b < MouseButtonCount; b++) input.mouseButtons[b] = mouseOldState[b];
    input.mousePos = mousePos;
    input.mouseWheel = mouseWheelDelta;
    input.focused = hasInputFocus.load(std::memory_order_relaxed);
    input.windowSize = windowSize.Load();
    for (int p = 0; p < PadCount; p++) {
        const PadFrame& frame = padFrames[p];
        RawPad& pad = input.pads[p];
        pad.connected = frame.oldConnected;
        std::copy(frame.oldButtons, frame.oldButtons + PadButtonCount, pad.buttons);
        std::copy(frame.rawAxes, frame.rawAxes + PadAxisCount, pad.axes);
    }
    input.textSize = static_cast<uint16_t>(std::min<size_t>(typedText.size(), sizeof input.text));
    std::copy_n(typedText.data(), input.textSize, input.text);
    return input;
}

// Stored where the platform's updates store, but without what they add for a live window system:
// the mouse is already in engine pixels, a lost focus has already let go of what the input says,
// and a trigger's button was already derived from its axis when the input was latched (a frame
// may have latched the button before a change of the axis it then read).
void Tesserine::FeedInput(const RawInput& input, bool windowResized) {
    for (int k = 0; k < KeyCount; k++)
        keyNewState[k].store(input.keys[k], std::memory_order_relaxed);
    for (int b = 0; b < MouseButtonCount; b++)
        mouseNewState[b].store(input.mouseButtons[b], std::memory_order_relaxed);
    mousePosCache.Store(input.mousePos);
    mouseWheelDeltaCache.store(input.mouseWheel, std::memory_order_relaxed);
    hasInputFocus.store(input.focused, std::memory_order_relaxed);
    if (windowResized) UpdateWindowSize(input.windowSize.x, input.windowSize.y);
    for (int p = 0; p < PadCount; p++) {
        PadReport& report = padReports[p];
        report.connected.store(input.pads[p].connected, std::memory_order_relaxed);
        for (int b = 0; b < PadButtonCount; b++)
            report.buttons[b].store(input.pads[p].buttons[b], std::memory_order_relaxed);
        for (int a = 0; a < PadAxisCount; a++)
            report.axes[a].store(input.pads[p].axes[a], std::memory_order_relaxed);
    }
    typedQueue.PushUtf8(input.text, input.textSize);
}

// The latch base: what an earlier latch would have left in the old states and the frame states.
void Tesserine::HoldInput(const RawInput& held) {
    for (int k = 0; k < KeyCount; k++) {
        keyNewState[k].store(held.keys[k], std::memory_order_relaxed);
        keyOldState[k] = held.keys[k];
        keyboardState[k] = {false, false, held.keys[k]};
    }
    for (int b = 0; b < MouseButtonCount; b++) {
        mouseNewState[b].store(held.mouseButtons[b], std::memory_order_relaxed);
        mouseOldState[b] = held.mouseButtons[b];
        mouseState[b] = {false, false, held.mouseButtons[b]};
    }
    for (int p = 0; p < PadCount; p++) {
        const RawPad& pad = held.pads[p];
        padFrames[p].oldConnected = pad.connected;
        padFrames[p].connection = {false, false, pad.connected};
        for (int b = 0; b < PadButtonCount; b++) {
            padFrames[p].oldButtons[b] = pad.buttons[b];
            padFrames[p].buttons[b] = {false, false, pad.buttons[b]};
        }
    }
}

} // namespace dral
