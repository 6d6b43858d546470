// The Win32 back-end's plain logic against a real engine: the key table, the message table with
// its sign extensions, and the window style choice.
#include <gtest/gtest.h>

#include <set>

#include "platform/windows/window_logic.h"
#include "support/headless_engine.h"

namespace dral::win32 {
namespace {

constexpr uint32_t KeyDown = 0x0100, KeyUp = 0x0101, SysKeyDown = 0x0104, SysKeyUp = 0x0105,
                   MouseMove = 0x0200, Wheel = 0x020A, Size = 0x0005, Close = 0x0010,
                   Destroy = 0x0002, SetFocus = 0x0007, KillFocus = 0x0008, RButtonDown = 0x0204;

class WindowLogicTest : public ::testing::Test {
  protected:
    WindowLogicTest() {
        FillKeyMap(keys);
        engine.Prepare();
    }
    MessageOutcome Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return DispatchWindowMessage(engine, keys, message, wParam, lParam);
    }
    ButtonState KeyAfterFrame(Key k) {
        engine.RunFrameFor(0.01f);
        return engine.KeyState(k);
    }

    KeyMap keys;
    testing::HeadlessEngine<> engine{64, 48};
};

TEST_F(WindowLogicTest, KeyTableFollowsTheEngineValues) {
    EXPECT_EQ(LookUpKey(keys, 'A'), 1);
    EXPECT_EQ(LookUpKey(keys, 'Z'), 26);
    EXPECT_EQ(LookUpKey(keys, '0'), 27);
    EXPECT_EQ(LookUpKey(keys, '9'), 36);
    EXPECT_EQ(LookUpKey(keys, 0x70), 37); // F1
    EXPECT_EQ(LookUpKey(keys, 0x7B), 48); // F12
    EXPECT_EQ(LookUpKey(keys, 0x1B), 64); // Escape
    EXPECT_EQ(LookUpKey(keys, 0x0D), 66); // Return
    EXPECT_EQ(LookUpKey(keys, 0x91), 68); // Scroll lock
    EXPECT_EQ(LookUpKey(keys, 0x60), 69); // keypad 0
    // The keypad operators: divide, the highest code, comes right after multiply.
    EXPECT_EQ(LookUpKey(keys, 0x6A), 79);
    EXPECT_EQ(LookUpKey(keys, 0x6F), 80);
    EXPECT_EQ(LookUpKey(keys, 0x6B), 81);
    EXPECT_EQ(LookUpKey(keys, 0x6D), 82);
    EXPECT_EQ(LookUpKey(keys, 0x6E), 83);
    EXPECT_EQ(LookUpKey(keys, 0xBA), 0); // a punctuation key the table does not hold

    // Every value from 0 to 83 but 65 is produced, each by exactly one code.
    std::set<uint8_t> values;
    for (const auto& [code, value] : keys) EXPECT_TRUE(values.insert(value).second) << code;
    EXPECT_EQ(values.count(65), 0u);
    EXPECT_EQ(values.size(), 83u);
    EXPECT_EQ(*values.rbegin(), 83);
}

TEST_F(WindowLogicTest, KeyMessagesReachTheKeyStateButSystemKeysDoNot) {
    EXPECT_EQ(Send(KeyDown, 'D'), MessageOutcome::Handled);
    EXPECT_TRUE(KeyAfterFrame(Key::D).pressed);
    Send(KeyDown, 'D'); // auto-repeat leaves the key held, not pressed again
    const ButtonState repeated = KeyAfterFrame(Key::D);
    EXPECT_TRUE(repeated.held);
    EXPECT_FALSE(repeated.pressed);
    Send(KeyUp, 'D');
    EXPECT_TRUE(KeyAfterFrame(Key::D).released);

    Send(KeyDown, 0xBA);
    EXPECT_TRUE(KeyAfterFrame(Key::None).held);

    EXPECT_EQ(Send(SysKeyDown, 'W'), MessageOutcome::DefaultHandler);
    EXPECT_FALSE(KeyAfterFrame(Key::W).held);
}

// Alt held while a key comes up turns its key-up into a system key-up; without it the key would
// stay held for good.
TEST_F(WindowLogicTest, AKeyReleasedWithAltHeldIsReleased) {
    Send(KeyDown, 'D');
    EXPECT_TRUE(KeyAfterFrame(Key::D).held);
    EXPECT_EQ(Send(SysKeyUp, 'D'), MessageOutcome::DefaultHandler);
    const ButtonState after = KeyAfterFrame(Key::D);
    EXPECT_TRUE(after.released);
    EXPECT_FALSE(after.held);
}

// The key-ups of keys held while the focus moves away go to the other window; the engine
// releases them when the focus message reaches it.
TEST_F(WindowLogicTest, LosingTheFocusReleasesTheKeysStillHeld) {
    Send(SetFocus);
    Send(KeyDown, 'D');
    Send(KeyDown, 0xBA);
    engine.RunFrameFor(0.01f);
    Send(KillFocus);
    EXPECT_FALSE(engine.IsFocused());
    EXPECT_TRUE(KeyAfterFrame(Key::D).released);
    EXPECT_FALSE(engine.KeyState(Key::None).held);
}

TEST_F(WindowLogicTest, MouseCoordinatesAndWheelDeltasAreSigned16Bit) {
    EXPECT_EQ(LowSigned16(0xFFFF), -1);
    EXPECT_EQ(HighSigned16(0xFF880000u), -120);
    EXPECT_EQ(HighSigned16(0x00780000u), 120);
    EXPECT_EQ(LowSigned16(0x12347FFFu), 32767);

    // -1 clamps to the left edge; read unsigned it would clamp to the right one.
    Send(MouseMove, 0, 0x0010FFFF);
    engine.RunFrameFor(0.01f);
    EXPECT_EQ(engine.MouseX(), 0);
    EXPECT_EQ(engine.MouseY(), 16);

    Send(Wheel, 0xFF880000u);
    engine.RunFrameFor(0.01f);
    EXPECT_EQ(engine.MouseWheel(), -120);

    Send(RButtonDown);
    engine.RunFrameFor(0.01f);
    EXPECT_TRUE(engine.MouseButtonState(1).held);
}

TEST_F(WindowLogicTest, CharacterMessagesBecomeTypedText) {
    constexpr uint32_t Char = 0x0102;
    for (uintptr_t unit : {uintptr_t{'N'}, uintptr_t{0x00E9}, uintptr_t{0x08}, uintptr_t{0x0D},
                           uintptr_t{0xD83D}, uintptr_t{0x20AC}})
        EXPECT_EQ(Send(Char, unit), MessageOutcome::Handled);
    engine.RunFrameFor(0.01f);
    EXPECT_EQ(engine.TypedText(), "N\xC3\xA9\xE2\x82\xAC"); // no Backspace, Enter or surrogate
}

TEST_F(WindowLogicTest, FocusSizeAndTheCloseSequence) {
    Send(SetFocus);
    EXPECT_TRUE(engine.IsFocused());
    Send(KillFocus);
    EXPECT_FALSE(engine.IsFocused());

    // A minimised window reports 0 x 0, passed on unchanged; the size fields are unsigned.
    Send(Size, 0, 0);
    EXPECT_EQ(engine.GetWindowSize(), Vec2i(0, 0));
    Send(Size, 0, static_cast<intptr_t>(0x9000A000u));
    EXPECT_EQ(engine.GetWindowSize(), Vec2i(0xA000, 0x9000));

    running = true;
    EXPECT_EQ(Send(Close), MessageOutcome::Handled);
    EXPECT_FALSE(running);
    EXPECT_EQ(Send(Destroy), MessageOutcome::PostQuit);
}

TEST(WindowStyleTest, WindowedHasAFrameFullScreenIsABarePopup) {
    EXPECT_EQ(ChooseWindowStyle(false).style, 0x10CC0000u);
    EXPECT_EQ(ChooseWindowStyle(false).exStyle, 0x00040100u);
    EXPECT_EQ(ChooseWindowStyle(true).style, 0x90000000u);
    EXPECT_EQ(ChooseWindowStyle(true).exStyle, 0u);
    EXPECT_EQ(OuterSize({-8, -31, 808, 608}), Vec2i(816, 639));
}

// GDI's 32-bit pixels are blue, green, red and an unused byte, where the engine's are red, green,
// blue and alpha; a smaller frame after a larger one reuses the storage.
TEST(DibPixelsTest, ChannelsAreReorderedAndAlphaIsDropped) {
    const Pixel frame[] = {Pixel(0x11, 0x22, 0x33, 0x44), Pixel(255, 0, 0, 0),
                           Pixel(0, 0, 255, 255)};
    std::vector<uint32_t> dib;
    ToDibPixels(frame, 3, dib);
    ASSERT_EQ(dib.size(), 3u);
    EXPECT_EQ(dib[0], 0x00112233u);
    EXPECT_EQ(dib[1], 0x00FF0000u);
    EXPECT_EQ(dib[2], 0x000000FFu);
    const uint32_t* storage = dib.data();
    ToDibPixels(frame + 1, 1, dib);
    EXPECT_EQ(dib[0], 0x00FF0000u);
    EXPECT_EQ(dib.data(), storage);
}

} // namespace
} // namespace dral::win32
