// Input: the per-frame latch of keys and buttons, the mouse mapped through the letterboxed
// viewport, wheel accumulation, focus, and queries with arguments out of range.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <thread>

#include "support/headless_engine.h"

namespace dral::testing {
namespace {

class InputProbe : public Tesserine {
  public:
    bool OnUpdate(float) override { return true; }
};

struct InputTest : ::testing::Test {
    InputTest() : app(800, 600) {
        app.Prepare();
        app.UpdateWindowSize(1920, 1080);
    }
    void Frame() { app.RunFrameFor(0.01f); }
    ButtonState W() const { return app.KeyState(Key::W); }
    HeadlessEngine<InputProbe> app;
};

bool Is(ButtonState s, bool pressed, bool released, bool held) {
    return s.pressed == pressed && s.released == released && s.held == held;
}

TEST_F(InputTest, KeyPressHoldAndReleaseAcrossFrames) {
    app.UpdateKeyState(static_cast<int>(Key::W), true);
    Frame();
    EXPECT_TRUE(Is(W(), true, false, true));
    app.UpdateKeyState(static_cast<int>(Key::W), true); // typematic repeat
    Frame();
    EXPECT_TRUE(Is(W(), false, false, true));
    app.UpdateKeyState(static_cast<int>(Key::W), false);
    Frame();
    EXPECT_TRUE(Is(W(), false, true, false));
    Frame();
    EXPECT_TRUE(Is(W(), false, false, false));
}

// Each case: raw reports before each frame ('d' down, 'u' up), then the flags each frame shows
// as pressed/released/held ('p', 'r', 'h', '-' for none).
TEST_F(InputTest, PressesBetweenFramesAreNeverLost) {
    const struct {
        const char* reports[3];
        const char* want[3];
    } cases[] = {
        {{"du", "", ""}, {"ph", "r", "-"}},   // a tap: pressed, then released
        {{"dudu", "", ""}, {"ph", "r", "-"}}, // two taps in one gap count once
        {{"d", "ud", ""}, {"ph", "h", "h"}},  // let go and pressed again: still held
        {{"d", "udu", ""}, {"ph", "r", "-"}}, // let go, tapped, let go: one release
        {{"du", "d", "u"}, {"ph", "h", "r"}}, // tapped, then pressed before the release shows
        {{"dd", "", "u"}, {"ph", "h", "r"}},  // key repeat gives no second press
        {{"u", "", ""}, {"-", "-", "-"}},     // a release of a key never down
    };
    for (const auto& c : cases) {
        HeadlessEngine<InputProbe> fresh(800, 600);
        fresh.Prepare();
        for (int frame = 0; frame < 3; ++frame) {
            for (const char* r = c.reports[frame]; *r; ++r) {
                fresh.UpdateKeyState(static_cast<int>(Key::W), *r == 'd');
                fresh.UpdateMouseState(1, *r == 'd');
            }
            fresh.RunFrameFor(0.01f);
            const std::string want = c.want[frame];
            for (const ButtonState s : {fresh.KeyState(Key::W), fresh.MouseButtonState(1)}) {
                EXPECT_EQ(s.pressed, want.find('p') != std::string::npos)
                    << c.reports[0] << "|" << c.reports[1] << " frame " << frame;
                EXPECT_EQ(s.released, want.find('r') != std::string::npos)
                    << c.reports[0] << "|" << c.reports[1] << " frame " << frame;
                EXPECT_EQ(s.held, want.find('h') != std::string::npos)
                    << c.reports[0] << "|" << c.reports[1] << " frame " << frame;
            }
        }
    }
    EXPECT_TRUE(Is(app.KeyState(Key::None), false, false, false));
}

TEST_F(InputTest, OutOfRangeArgumentsAreIgnoredAndReadAsUp) {
    app.UpdateKeyState(300, true);
    app.UpdateKeyState(-1, true);
    app.UpdateMouseState(5, true);
    Frame();
    EXPECT_TRUE(Is(app.KeyState(static_cast<Key>(255)), false, false, false));
    EXPECT_TRUE(Is(app.MouseButtonState(5), false, false, false));
    EXPECT_TRUE(Is(app.MouseButtonState(0xFFFFFFFF), false, false, false));
}

TEST_F(InputTest, MouseMapsThroughTheViewportAndClamps) {
    const struct {
        int32_t x, y, wantX, wantY;
    } cases[] = {
        {1000, 540, 422, 300},
        {100, 540, 0, 300},
        {1900, 540, 799, 300},
        {-5, -5, 0, 0},
        {5000, 5000, 799, 599},
        {240, 0, 0, 0},
        // The view's last pixel and the first one past it both read as the last column and row;
        // the one before it as the column before.
        {1679, 1079, 799, 599},
        {1680, 1080, 799, 599},
        {1678, 1078, 798, 598},
        {241, 1, 0, 0},
        // The ends of int32, where the offset from the view would wrap in 32 bits.
        {INT32_MIN, INT32_MIN, 0, 0},
        {INT32_MAX, INT32_MAX, 799, 599},
        {INT32_MIN + 239, 1079, 0, 599},
    };
    for (const auto& c : cases) {
        app.UpdateMouse(c.x, c.y);
        Frame();
        EXPECT_EQ(app.MouseX(), c.wantX) << c.x << "," << c.y;
        EXPECT_EQ(app.MouseY(), c.wantY) << c.x << "," << c.y;
    }
}

TEST_F(InputTest, MouseDividesByTheWindowLessBothMarginsNotTheViewSize) {
    // 1281 wide: the view is 1066 wide at x 107, but the divisor is 1281 - 214 = 1067.
    app.UpdateWindowSize(1281, 800);
    ASSERT_EQ(app.GetViewPos(), Vec2i(107, 0));
    ASSERT_EQ(app.GetViewSize(), Vec2i(1066, 800));
    app.UpdateMouse(107 + 533, 799);
    Frame();
    EXPECT_EQ(app.MouseX(), 399); // 533 / 1067 * 800 = 399.6; over 1066 it would be 400
    EXPECT_EQ(app.MouseY(), 599);
}

TEST_F(InputTest, MouseInAMinimisedWindowStaysInsideTheScreen) {
    app.UpdateWindowSize(0, 0);
    app.UpdateMouse(10, 10);
    Frame();
    EXPECT_GE(app.MouseX(), 0);
    EXPECT_LT(app.MouseX(), 800);
    EXPECT_GE(app.MouseY(), 0);
    EXPECT_LT(app.MouseY(), 600);
}

// The event thread maps the mouse and the viewport through the screen size while the engine
// thread changes it; under ThreadSanitizer this shows the size is shared safely.
TEST_F(InputTest, ScreenSizeChangesWhileTheEventThreadMapsTheMouse) {
    std::thread events([this] {
        for (int i = 0; i < 2000; ++i) {
            app.UpdateMouse(i % 1920, i % 1080);
            app.UpdateWindowSize(1920, 1080);
        }
    });
    for (int i = 0; i < 50; ++i) app.SetScreenSize(i % 2 ? 800 : 400, 600);
    events.join();
    app.UpdateMouse(5000, 5000);
    Frame();
    EXPECT_EQ(app.MouseX(), 799);
    EXPECT_EQ(app.MouseY(), 599);
}

TEST_F(InputTest, WheelAccumulatesBetweenFramesAndResets) {
    app.UpdateMouseWheel(120);
    app.UpdateMouseWheel(120);
    Frame();
    EXPECT_EQ(app.MouseWheel(), 240);
    Frame();
    EXPECT_EQ(app.MouseWheel(), 0);
    app.UpdateMouseWheel(-120);
    Frame();
    EXPECT_EQ(app.MouseWheel(), -120);
}

TEST_F(InputTest, WheelNotchesCountInTheSameUnitsAndDoNotWrap) {
    app.UpdateMouseWheelNotches(2);
    app.UpdateMouseWheel(-60);
    Frame();
    EXPECT_EQ(app.MouseWheel(), 2 * WheelNotch - 60);
    app.UpdateMouseWheelNotches(std::numeric_limits<int32_t>::min());
    Frame();
    EXPECT_LT(app.MouseWheel(), 0);
}

// Whatever is held when the focus goes is released; a tap made just before still shows.
TEST_F(InputTest, LosingTheFocusReleasesKeysAndButtons) {
    app.UpdateKeyFocus(true);
    app.UpdateKeyState(static_cast<int>(Key::W), true);
    app.UpdateMouseState(0, true);
    Frame();
    EXPECT_TRUE(app.IsFocused());
    app.UpdateKeyState(static_cast<int>(Key::A), true);
    app.UpdateKeyFocus(false);
    Frame();
    EXPECT_FALSE(app.IsFocused());
    EXPECT_TRUE(Is(W(), false, true, false));
    EXPECT_TRUE(Is(app.MouseButtonState(0), false, true, false));
    EXPECT_TRUE(Is(app.KeyState(Key::A), true, false, true));
    Frame();
    EXPECT_TRUE(Is(app.KeyState(Key::A), false, true, false));
    // Focus coming back presses nothing.
    app.UpdateKeyFocus(true);
    Frame();
    EXPECT_TRUE(Is(W(), false, false, false));
}

TEST(PadDeadZone, ReadsZeroNearRestAndStretchesTheRestOfTheTravel) {
    const struct {
        float raw, want;
    } cases[] = {
        {0.0f, 0.0f},   {0.19f, 0.0f}, {-0.19f, 0.0f}, {0.2f, 0.0f}, {0.6f, 0.5f},
        {-0.6f, -0.5f}, {1.0f, 1.0f},  {-1.0f, -1.0f}, {7.0f, 1.0f}, {-7.0f, -1.0f},
    };
    for (const auto& c : cases) EXPECT_FLOAT_EQ(ApplyPadDeadZone(c.raw), c.want) << c.raw;
    EXPECT_EQ(ApplyPadDeadZone(std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

TEST_F(InputTest, PadsConnectLatchTheirButtonsAndLetGoWhenPulled) {
    app.UpdatePadButton(1, PadButton::A, true); // not plugged in: stray
    Frame();
    EXPECT_FALSE(app.IsPadConnected(1));
    EXPECT_FALSE(app.PadButtonState(1, PadButton::A).held);

    app.UpdatePadConnection(1, true);
    app.UpdatePadButton(1, PadButton::A, true);
    app.UpdatePadButton(1, PadButton::Start, true);
    app.UpdatePadButton(1, PadButton::Start, false); // a tap between frames
    app.UpdatePadAxis(1, PadAxis::LeftX, -0.6f);
    app.UpdatePadAxis(1, PadAxis::LeftY, 0.1f);
    app.UpdatePadAxis(1, PadAxis::RightTrigger, 0.9f);
    Frame();
    EXPECT_TRUE(Is(app.PadConnection(1), true, false, true));
    EXPECT_TRUE(Is(app.PadButtonState(1, PadButton::A), true, false, true));
    EXPECT_TRUE(Is(app.PadButtonState(1, PadButton::Start), true, false, true));
    EXPECT_TRUE(Is(app.PadButtonState(1, PadButton::RightTrigger), true, false, true));
    EXPECT_FLOAT_EQ(app.PadAxisValue(1, PadAxis::LeftX), -0.5f);
    EXPECT_EQ(app.PadAxisValue(1, PadAxis::LeftY), 0.0f);
    EXPECT_FALSE(app.IsPadConnected(0));

    app.UpdatePadAxis(1, PadAxis::RightTrigger, -3.0f);   // triggers never read below 0
    app.UpdatePadButton(1, PadButton::LeftTrigger, true); // trigger buttons follow the axis only
    Frame();
    EXPECT_TRUE(Is(app.PadButtonState(1, PadButton::A), false, false, true));
    EXPECT_TRUE(Is(app.PadButtonState(1, PadButton::Start), false, true, false));
    EXPECT_TRUE(Is(app.PadButtonState(1, PadButton::RightTrigger), false, true, false));
    EXPECT_FALSE(app.PadButtonState(1, PadButton::LeftTrigger).held);
    EXPECT_EQ(app.PadAxisValue(1, PadAxis::RightTrigger), 0.0f);

    app.UpdatePadConnection(1, false);
    Frame();
    EXPECT_TRUE(Is(app.PadConnection(1), false, true, false));
    EXPECT_TRUE(Is(app.PadButtonState(1, PadButton::A), false, true, false));
    EXPECT_EQ(app.PadAxisValue(1, PadAxis::LeftX), 0.0f);

    for (int32_t bad : {-1, PadCount}) {
        app.UpdatePadConnection(bad, true);
        app.UpdatePadAxis(bad, PadAxis::LeftX, 1.0f);
    }
    Frame();
    EXPECT_FALSE(app.IsPadConnected(PadCount));
    EXPECT_FALSE(app.PadButtonState(0xFFFFFFFF, PadButton::A).held);
    EXPECT_EQ(app.PadAxisValue(PadCount, PadAxis::LeftX), 0.0f);
}

TEST_F(InputTest, TypedTextIsTheFramesCharactersAsUtf8) {
    const struct {
        std::string in, want;
    } cases[] = {
        {"Ann", "Ann"},
        {"J\xC3\xBCrgen \xE2\x82\xAC\xF0\x9F\x98\x80",
         "J\xC3\xBCrgen \xE2\x82\xAC\xF0\x9F\x98\x80"},
        {"a\bb\r\n\x7F"
         "c",
         "abc"},                                            // control characters are keys, not text
        {"x\xC0\xAFy\xED\xA0\x80z\xF4\x90\x80\x80", "xyz"}, // overlong, surrogate, past U+10FFFF
        {"\xE2\x82", ""},                                   // cut off
        {"\x80q\xFF", "q"},                                 // stray bytes
    };
    for (const auto& c : cases) {
        app.UpdateTypedText(c.in);
        Frame();
        EXPECT_EQ(app.TypedText(), c.want) << c.in;
    }
    Frame();
    EXPECT_EQ(app.TypedText(), "");

    app.UpdateTypedChar(U'\u00E9');
    app.UpdateTypedChar(0x0D);
    app.UpdateTypedChar(0xDC00);
    Frame();
    EXPECT_EQ(app.TypedText(), "\xC3\xA9");

    // Typing faster than a frame takes keeps the first characters and drops the rest.
    for (uint32_t i = 0; i < TypedTextQueue::Capacity + 10; i++) app.UpdateTypedChar(U'\u20AC');
    Frame();
    EXPECT_EQ(app.TypedText().size(), TypedTextQueue::Capacity * 3);
    app.UpdateTypedText("ok");
    Frame();
    EXPECT_EQ(app.TypedText(), "ok");
}

// The event thread types and moves a stick while frames latch; under ThreadSanitizer this shows
// the hand-over is safe, and every character arrives in order.
// A driver's whole-frame input is latched exactly as given and read back the same: a trigger's
// button as fed, not as its axis would make it, the mouse in engine pixels, the focus without
// letting go of keys. Held input shows held, not pressed, in the next frame.
TEST_F(InputTest, FedInputIsLatchedAsGivenAndReadBackTheSame) {
    RawInput held;
    held.keys[static_cast<int>(Key::Shift)] = true;
    held.pads[0].connected = true;
    held.pads[0].buttons[static_cast<int>(PadButton::A)] = true;
    app.HoldInput(held);

    RawInput fed = held;
    fed.keys[static_cast<int>(Key::W)] = true;
    fed.mouseButtons[1] = true;
    fed.mousePos = {799, 3};
    fed.mouseWheel = -240;
    fed.focused = false;
    fed.windowSize = {1280, 800};
    fed.pads[0].axes[static_cast<int>(PadAxis::RightTrigger)] = 1.0f; // its button stays up
    fed.pads[0].axes[static_cast<int>(PadAxis::LeftX)] = -0.5f;
    fed.textSize = 2;
    fed.text[0] = 'o';
    fed.text[1] = 'k';
    app.FeedInput(fed, true);
    Frame();

    EXPECT_TRUE(Is(app.KeyState(Key::Shift), false, false, true)) << "held from before";
    EXPECT_TRUE(Is(app.PadButtonState(0, PadButton::A), false, false, true));
    EXPECT_TRUE(Is(app.PadConnection(0), false, false, true));
    EXPECT_TRUE(Is(W(), true, false, true)) << "focus lost in the input lets go of nothing";
    EXPECT_FALSE(app.PadButtonState(0, PadButton::RightTrigger).held);
    EXPECT_EQ(app.PadAxisValue(0, PadAxis::RightTrigger), 1.0f);
    EXPECT_EQ(app.MouseX(), 799);
    EXPECT_EQ(app.MouseWheel(), -240);
    EXPECT_EQ(app.TypedText(), "ok");
    EXPECT_EQ(app.GetViewPos(), Vec2i(107, 0)) << "the window came with the input";

    const RawInput back = app.LatchedInput();
    EXPECT_TRUE(std::equal(back.keys, back.keys + KeyCount, fed.keys));
    EXPECT_TRUE(
        std::equal(back.mouseButtons, back.mouseButtons + MouseButtonCount, fed.mouseButtons));
    EXPECT_EQ(back.mousePos, fed.mousePos);
    EXPECT_EQ(back.mouseWheel, fed.mouseWheel);
    EXPECT_EQ(back.focused, fed.focused);
    EXPECT_EQ(back.windowSize, fed.windowSize);
    for (int p = 0; p < PadCount; p++) {
        EXPECT_EQ(back.pads[p].connected, fed.pads[p].connected) << "pad " << p;
        EXPECT_TRUE(std::equal(back.pads[p].buttons, back.pads[p].buttons + PadButtonCount,
                               fed.pads[p].buttons));
        EXPECT_TRUE(
            std::equal(back.pads[p].axes, back.pads[p].axes + PadAxisCount, fed.pads[p].axes));
    }
    EXPECT_EQ(std::string(back.text, back.textSize), "ok");
}

TEST_F(InputTest, TextAndPadsArriveWhileFramesRun) {
    app.UpdatePadConnection(0, true);
    std::string seen;
    std::thread events([this] {
        for (int i = 0; i < 3000; ++i) {
            while (!app.UpdateTypedChar(static_cast<char32_t>('a' + i % 26))) {
            }
            app.UpdatePadAxis(0, PadAxis::LeftX, static_cast<float>(i % 3 - 1));
        }
    });
    while (seen.size() < 3000) {
        Frame();
        seen += app.TypedText();
        const float x = app.PadAxisValue(0, PadAxis::LeftX);
        EXPECT_TRUE(x == -1.0f || x == 0.0f || x == 1.0f) << x;
    }
    events.join();
    for (size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], 'a' + i % 26) << i;
}

} // namespace
} // namespace dral::testing
