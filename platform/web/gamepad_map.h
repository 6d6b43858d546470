// The browser platform's gamepad mapping, kept free of Emscripten's headers so it can be tested on
// the desktop: one Gamepad API pad with the "standard" mapping turned into the engine's pad input.
#pragma once

#include <cstdint>

namespace dral {

class Tesserine;

// One pad as the Gamepad API shows it: its axes, its buttons' values (0–1) and pressed flags.
struct GamepadView {
    bool standard = false; // its mapping is "standard"; other layouts are not known
    int32_t axisCount = 0;
    const double* axes = nullptr;
    int32_t buttonCount = 0;
    const double* values = nullptr;
    const int* pressed = nullptr;
};

// Reports one pad to the engine as pad `pad`: its state, or null when the slot is empty. A pad
// without the standard mapping counts as absent, as its buttons could mean anything.
void ReportStandardGamepad(Tesserine& engine, int32_t pad, const GamepadView* view);

} // namespace dral
