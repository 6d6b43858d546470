// The Win32 back-end's XInput mapping against a real engine: button bits, axis directions and
// ranges, and a controller coming and going.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/windows/xinput_logic.h"
#include "support/headless_engine.h"

namespace dral::win32 {
namespace {

struct XInputTest : ::testing::Test {
    XInputTest() { engine.Prepare(); }
    void Report(const XInputGamepad* state) {
        ReportXInputPad(engine, 2, state);
        engine.RunFrameFor(0.01f);
    }
    testing::HeadlessEngine<> engine{64, 48};
};

TEST_F(XInputTest, ButtonBitsAndAxesMapToTheStandardPad) {
    // Every bit but the two XInput leaves unused holds exactly one button, each a different one.
    std::set<int> seen;
    for (int bit = 0; bit < 16; bit++) {
        XInputGamepad state;
        state.buttons = static_cast<uint16_t>(1 << bit);
        Report(&state);
        int held = 0;
        for (int b = 0; b < PadButtonCount; b++)
            if (engine.PadButtonState(2, static_cast<PadButton>(b)).held) held++, seen.insert(b);
        EXPECT_EQ(held, bit == 10 || bit == 11 ? 0 : 1) << "bit " << bit;
    }
    EXPECT_EQ(seen.size(), 14u);
    const std::pair<uint16_t, PadButton> samples[] = {{0x1000, PadButton::A},
                                                      {0x8000, PadButton::Y},
                                                      {0x0020, PadButton::Back},
                                                      {0x0001, PadButton::Up},
                                                      {0x0200, PadButton::RightShoulder}};
    for (const auto& [bit, button] : samples) {
        XInputGamepad state;
        state.buttons = bit;
        Report(&state);
        EXPECT_TRUE(engine.PadButtonState(2, button).held) << bit;
    }

    // Up on the stick is negative y for the engine, as on the screen; the ends reach ±1.
    XInputGamepad state;
    state.thumbLX = 32767;
    state.thumbLY = 32767;
    state.thumbRX = -32768;
    state.thumbRY = -32768;
    state.leftTrigger = 255;
    state.rightTrigger = 20; // inside the dead zone
    Report(&state);
    EXPECT_EQ(engine.PadAxisValue(2, PadAxis::LeftX), 1.0f);
    EXPECT_EQ(engine.PadAxisValue(2, PadAxis::LeftY), -1.0f);
    EXPECT_EQ(engine.PadAxisValue(2, PadAxis::RightX), -1.0f);
    EXPECT_EQ(engine.PadAxisValue(2, PadAxis::RightY), 1.0f);
    EXPECT_EQ(engine.PadAxisValue(2, PadAxis::LeftTrigger), 1.0f);
    EXPECT_EQ(engine.PadAxisValue(2, PadAxis::RightTrigger), 0.0f);
    EXPECT_TRUE(engine.PadButtonState(2, PadButton::LeftTrigger).held);
    EXPECT_FALSE(engine.PadButtonState(2, PadButton::RightTrigger).held);
}

TEST_F(XInputTest, AControllerComesAndGoes) {
    XInputGamepad state;
    state.buttons = 0x1000;
    Report(&state);
    EXPECT_TRUE(engine.PadConnection(2).pressed);
    EXPECT_TRUE(engine.PadButtonState(2, PadButton::A).pressed);
    Report(&state); // polled again, unchanged
    EXPECT_FALSE(engine.PadConnection(2).pressed);
    EXPECT_TRUE(engine.IsPadConnected(2));
    EXPECT_FALSE(engine.PadButtonState(2, PadButton::A).pressed);
    Report(nullptr);
    EXPECT_TRUE(engine.PadConnection(2).released);
    EXPECT_TRUE(engine.PadButtonState(2, PadButton::A).released);
    EXPECT_FALSE(engine.IsPadConnected(0));
}

} // namespace
} // namespace dral::win32
