// The browser platform's gamepad mapping against a real engine: the standard layout's buttons,
// its axes and analog triggers, and pads that are absent or not in the standard layout.
#include <gtest/gtest.h>

#include <utility>

#include "platform/web/gamepad_map.h"
#include "support/headless_engine.h"

namespace dral {
namespace {

struct StandardPad {
    double axes[4] = {};
    double values[17] = {};
    int pressed[17] = {};
    GamepadView View(bool standard = true) { return {standard, 4, axes, 17, values, pressed}; }
};

struct GamepadMapTest : ::testing::Test {
    GamepadMapTest() { engine.Prepare(); }
    void Report(const GamepadView* view) {
        ReportStandardGamepad(engine, 1, view);
        engine.RunFrameFor(0.01f);
    }
    testing::HeadlessEngine<> engine{64, 48};
};

TEST_F(GamepadMapTest, TheStandardLayoutMapsButtonsAxesAndTriggers) {
    const std::pair<int, PadButton> samples[] = {
        {0, PadButton::A},   {3, PadButton::Y},      {8, PadButton::Back},  {9, PadButton::Start},
        {12, PadButton::Up}, {15, PadButton::Right}, {16, PadButton::Guide}};
    for (const auto& [index, button] : samples) {
        StandardPad pad;
        pad.pressed[index] = 1;
        const GamepadView view = pad.View();
        Report(&view);
        for (int b = 0; b < PadButtonCount; b++)
            EXPECT_EQ(engine.PadButtonState(1, static_cast<PadButton>(b)).held,
                      b == static_cast<int>(button))
                << "standard button " << index << ", engine button " << b;
    }

    StandardPad pad;
    pad.axes[0] = -1.0;
    pad.axes[3] = 1.0;
    pad.values[6] = 1.0; // left trigger fully pulled
    pad.pressed[7] = 1;  // the right one only touched: its value decides
    pad.values[7] = 0.1;
    const GamepadView view = pad.View();
    Report(&view);
    EXPECT_EQ(engine.PadAxisValue(1, PadAxis::LeftX), -1.0f);
    EXPECT_EQ(engine.PadAxisValue(1, PadAxis::RightY), 1.0f);
    EXPECT_EQ(engine.PadAxisValue(1, PadAxis::LeftTrigger), 1.0f);
    EXPECT_TRUE(engine.PadButtonState(1, PadButton::LeftTrigger).held);
    EXPECT_FALSE(engine.PadButtonState(1, PadButton::RightTrigger).held);
}

TEST_F(GamepadMapTest, AbsentAndUnknownLayoutsAreNoPad) {
    StandardPad pad;
    pad.pressed[0] = 1;
    const GamepadView standard = pad.View();
    Report(&standard);
    EXPECT_TRUE(engine.PadConnection(1).pressed);
    Report(nullptr);
    EXPECT_TRUE(engine.PadConnection(1).released);
    EXPECT_TRUE(engine.PadButtonState(1, PadButton::A).released);
    const GamepadView unknown = pad.View(false);
    Report(&unknown);
    EXPECT_FALSE(engine.IsPadConnected(1));
    // A pad with fewer buttons and axes than the layout reads the missing ones as rest.
    const GamepadView small{true, 1, pad.axes, 2, pad.values, pad.pressed};
    Report(&small);
    EXPECT_TRUE(engine.PadButtonState(1, PadButton::A).held);
    EXPECT_EQ(engine.PadAxisValue(1, PadAxis::RightY), 0.0f);
}

} // namespace
} // namespace dral
