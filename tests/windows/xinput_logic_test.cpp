// The Win32 back-end's XInput mapping against a real engine: button bits, axis directions and
// ranges, and a controller coming and going.
#include <gtest/gtest.h>

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
    const struct {
        uint16_t bit;
        PadButton button;
    } buttons[] = {
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
    for (const auto& b : buttons) {
        XInputGamepad state;
        state.buttons = b.bit;
        Report(&state);
        for (int other = 0; other < PadButtonCount; other++)
            EXPECT_EQ(engine.PadButtonState(2, static_cast<PadButton>(other)).held,
                      other == static_cast<int>(b.button))
                << "bit " << b.bit << ", button " << other;
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
