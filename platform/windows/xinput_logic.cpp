// The XInput mapping: button bits and axis ranges of XINPUT_GAMEPAD, spelled out here so this file
// needs no system header.
#include "platform/windows/xinput_logic.h"

#include "engine/tesserine.h"

namespace dral::win32 {

namespace {

struct ButtonBit {
    uint16_t bit;
    PadButton button;
};

// XINPUT_GAMEPAD_* bits; the triggers are axes, and the centre button is not in the public API.
constexpr ButtonBit ButtonBits[] = {
    {0x0001, PadButton::Up},
    {0x0002, PadButton::Down},
    {0x0004, PadButton::Left},
    {0x0008, PadButton::Right},
    {0x0010, PadButton::Start},
    {0x0020, PadButton::Back},
    {0x0040, PadButton::LeftStick},
    {0x0080, PadButton::RightStick},
    {0x0100, PadButton::LeftShoulder},
    {0x0200, PadButton::RightShoulder},
    {0x1000, PadButton::A},
    {0x2000, PadButton::B},
    {0x4000, PadButton::X},
    {0x8000, PadButton::Y},
};

float Stick(int16_t value) {
    return static_cast<float>(value) / 32767.0f;
}

float Trigger(uint8_t value) {
    return static_cast<float>(value) / 255.0f;
}

} // namespace

void ReportXInputPad(Tesserine& engine, int32_t pad, const XInputGamepad* state) {
    if (!state) {
        engine.UpdatePadConnection(pad, false);
        return;
    }
    engine.UpdatePadConnection(pad, true);
    for (const ButtonBit& b : ButtonBits)
        engine.UpdatePadButton(pad, b.button, (state->buttons & b.bit) != 0);
    // XInput's y axes point up; the engine's point down, as on the screen.
    engine.UpdatePadAxis(pad, PadAxis::LeftX, Stick(state->thumbLX));
    engine.UpdatePadAxis(pad, PadAxis::LeftY, -Stick(state->thumbLY));
    engine.UpdatePadAxis(pad, PadAxis::RightX, Stick(state->thumbRX));
    engine.UpdatePadAxis(pad, PadAxis::RightY, -Stick(state->thumbRY));
    engine.UpdatePadAxis(pad, PadAxis::LeftTrigger, Trigger(state->leftTrigger));
    engine.UpdatePadAxis(pad, PadAxis::RightTrigger, Trigger(state->rightTrigger));
}

} // namespace dral::win32
