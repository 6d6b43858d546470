// The Gamepad API's standard mapping: buttons 0–16 and axes 0–3 in the order the W3C layout
// gives them, with the triggers as analog buttons 6 and 7.
#include "platform/web/gamepad_map.h"

#include <iterator>

#include "engine/tesserine.h"

namespace dral {

namespace {

constexpr int32_t LeftTriggerButton = 6;
constexpr int32_t RightTriggerButton = 7;

// Standard button index to the engine's button; the triggers are read as axes instead.
constexpr PadButton StandardButtons[] = {
    PadButton::A,
    PadButton::B,
    PadButton::X,
    PadButton::Y,
    PadButton::LeftShoulder,
    PadButton::RightShoulder,
    PadButton::LeftTrigger,
    PadButton::RightTrigger,
    PadButton::Back,
    PadButton::Start,
    PadButton::LeftStick,
    PadButton::RightStick,
    PadButton::Up,
    PadButton::Down,
    PadButton::Left,
    PadButton::Right,
    PadButton::Guide,
};

// The standard axes run left x, left y, right x, right y, y downwards, as the engine's do.
constexpr PadAxis StandardAxes[] = {PadAxis::LeftX, PadAxis::LeftY, PadAxis::RightX,
                                    PadAxis::RightY};

float Value(const double* values, int32_t count, int32_t index) {
    return index < count ? static_cast<float>(values[index]) : 0.0f;
}

} // namespace

void ReportStandardGamepad(Tesserine& engine, int32_t pad, const GamepadView* view) {
    if (!view || !view->standard) {
        engine.UpdatePadConnection(pad, false);
        return;
    }
    engine.UpdatePadConnection(pad, true);
    const auto buttons = static_cast<int32_t>(std::size(StandardButtons));
    for (int32_t i = 0; i < buttons && i < view->buttonCount; i++)
        if (i != LeftTriggerButton && i != RightTriggerButton)
            engine.UpdatePadButton(pad, StandardButtons[i], view->pressed[i] != 0);
    for (int32_t i = 0; i < static_cast<int32_t>(std::size(StandardAxes)); i++)
        engine.UpdatePadAxis(pad, StandardAxes[i], Value(view->axes, view->axisCount, i));
    engine.UpdatePadAxis(pad, PadAxis::LeftTrigger,
                         Value(view->values, view->buttonCount, LeftTriggerButton));
    engine.UpdatePadAxis(pad, PadAxis::RightTrigger,
                         Value(view->values, view->buttonCount, RightTriggerButton));
}

} // namespace dral
