// The Win32 platform's gamepad mapping, kept free of <windows.h> so it can be tested on its own:
// one XInput controller's state, as XInputGetState reads it, turned into the engine's pad input.
#pragma once

#include <cstdint>

namespace dral {

class Tesserine;

namespace win32 {

// The fields of XINPUT_GAMEPAD, in its order: the button bits, the triggers 0–255 and the sticks
// −32768–32767 with y positive upwards.
struct XInputGamepad {
    uint16_t buttons = 0;
    uint8_t leftTrigger = 0;
    uint8_t rightTrigger = 0;
    int16_t thumbLX = 0;
    int16_t thumbLY = 0;
    int16_t thumbRX = 0;
    int16_t thumbRY = 0;
};

// XInput has four controller slots, and they are the engine's pads 0 to 3.
inline constexpr uint32_t XInputSlots = 4;

// Reports one XInput slot to the engine as pad `pad`: its state, or null when no controller is
// connected there. The engine keeps the latch; reporting the same state again changes nothing.
void ReportXInputPad(Tesserine& engine, int32_t pad, const XInputGamepad* state);

} // namespace win32
} // namespace dral
