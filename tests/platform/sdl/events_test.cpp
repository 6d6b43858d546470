// The SDL platform's key map and event table, fed synthetic SDL events without a display; the
// engine on the headless pair shows what each event did to the frame's input state.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/sdl/platform_sdl.h"
#include "support/headless_engine.h"

namespace dral {
namespace {

SDL_Event KeyEvent(SDL_Keycode code, bool down, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.type = e.type;
    e.key.keysym.sym = code;
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event WindowEvent(Uint8 what, Sint32 data1 = 0, Sint32 data2 = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    e.window.data1 = data1;
    e.window.data2 = data2;
    return e;
}

SDL_Event MotionEvent(Sint32 x, Sint32 y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

SDL_Event ButtonEvent(Uint8 button, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = button;
    return e;
}

SDL_Event WheelEvent(Sint32 notches, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = notches;
    e.wheel.direction = direction;
    return e;
}

TEST(SdlKeyMap, MapsEveryDesignedKeyToItsValue) {
    for (int i = 0; i < 26; i++)
        EXPECT_EQ(static_cast<int>(MapSdlKey(SDLK_a + i)), 1 + i) << "letter " << i;
    for (int i = 0; i < 10; i++) EXPECT_EQ(static_cast<int>(MapSdlKey(SDLK_0 + i)), 27 + i);
    for (int i = 0; i < 12; i++) EXPECT_EQ(static_cast<int>(MapSdlKey(SDLK_F1 + i)), 37 + i);
    const SDL_Keycode keypadDigits[] = {SDLK_KP_0, SDLK_KP_1, SDLK_KP_2, SDLK_KP_3, SDLK_KP_4,
                                        SDLK_KP_5, SDLK_KP_6, SDLK_KP_7, SDLK_KP_8, SDLK_KP_9};
    for (int i = 0; i < 10; i++) EXPECT_EQ(static_cast<int>(MapSdlKey(keypadDigits[i])), 69 + i);

    const std::pair<SDL_Keycode, int> named[] = {
        {SDLK_UP, 49},        {SDLK_DOWN, 50},       {SDLK_LEFT, 51},        {SDLK_RIGHT, 52},
        {SDLK_SPACE, 53},     {SDLK_TAB, 54},        {SDLK_LSHIFT, 55},      {SDLK_RSHIFT, 55},
        {SDLK_LCTRL, 56},     {SDLK_RCTRL, 56},      {SDLK_INSERT, 57},      {SDLK_DELETE, 58},
        {SDLK_HOME, 59},      {SDLK_END, 60},        {SDLK_PAGEUP, 61},      {SDLK_PAGEDOWN, 62},
        {SDLK_BACKSPACE, 63}, {SDLK_ESCAPE, 64},     {SDLK_RETURN, 66},      {SDLK_KP_ENTER, 66},
        {SDLK_PAUSE, 67},     {SDLK_SCROLLLOCK, 68}, {SDLK_KP_MULTIPLY, 79}, {SDLK_KP_DIVIDE, 80},
        {SDLK_KP_PLUS, 81},   {SDLK_KP_MINUS, 82},   {SDLK_KP_PERIOD, 83},
    };
    for (const auto& [code, value] : named)
        EXPECT_EQ(static_cast<int>(MapSdlKey(code)), value) << SDL_GetKeyName(code);
}

TEST(SdlKeyMap, UnknownKeysGiveNoneAndValue65IsNeverProduced) {
    EXPECT_EQ(MapSdlKey(SDLK_COMMA), Key::None);
    EXPECT_EQ(MapSdlKey(SDLK_LALT), Key::None);
    EXPECT_EQ(MapSdlKey(SDLK_F13), Key::None);
    EXPECT_EQ(MapSdlKey(SDLK_UNKNOWN), Key::None);
    // Every key code SDL can produce: the characters and one code per scan code.
    for (int c = 0; c < 128; c++) {
        EXPECT_NE(static_cast<int>(MapSdlKey(c)), 65);
        EXPECT_LE(static_cast<int>(MapSdlKey(c)), 83);
    }
    for (int s = 0; s < SDL_NUM_SCANCODES; s++) {
        const auto value = static_cast<int>(MapSdlKey(SDL_SCANCODE_TO_KEYCODE(s)));
        EXPECT_NE(value, 65);
        EXPECT_LE(value, 83);
    }
}

class SdlEventTable : public ::testing::Test {
  protected:
    // No font or layers are needed: frames latch the input and compose nothing.
    SdlEventTable() : engine(800, 600) {
        engine.UpdateWindowSize(800, 600);
        running = true;
    }
    ~SdlEventTable() override { running = false; }

    void Feed(const SDL_Event& e) { DispatchWindowEvent(e, engine); }
    void Frame() { engine.RunFrameFor(0.01f); }

    testing::HeadlessEngine<> engine;
};

TEST_F(SdlEventTable, KeyGoesThroughPressedHeldReleased) {
    Feed(KeyEvent(SDLK_w, true));
    Frame();
    EXPECT_TRUE(engine.KeyState(Key::W).pressed);
    EXPECT_TRUE(engine.KeyState(Key::W).held);
    Feed(KeyEvent(SDLK_w, true)); // auto-repeat
    Frame();
    EXPECT_FALSE(engine.KeyState(Key::W).pressed);
    EXPECT_TRUE(engine.KeyState(Key::W).held);
    Feed(KeyEvent(SDLK_w, false));
    Frame();
    EXPECT_TRUE(engine.KeyState(Key::W).released);
    EXPECT_FALSE(engine.KeyState(Key::W).held);
}

TEST_F(SdlEventTable, UntranslatedKeyReachesNone) {
    Feed(KeyEvent(SDLK_SEMICOLON, true));
    Frame();
    EXPECT_TRUE(engine.KeyState(Key::None).pressed);
    Feed(KeyEvent(SDLK_SEMICOLON, false));
    Frame();
    EXPECT_TRUE(engine.KeyState(Key::None).released);
}

TEST_F(SdlEventTable, SystemKeysNeverGoDownButReleasesPass) {
    Feed(KeyEvent(SDLK_F10, true));
    Feed(KeyEvent(SDLK_x, true, KMOD_LALT));
    Frame();
    EXPECT_FALSE(engine.KeyState(Key::F10).held);
    EXPECT_FALSE(engine.KeyState(Key::X).held);

    // A key pressed before Alt and let go while Alt is held does not stay down.
    Feed(KeyEvent(SDLK_d, true));
    Frame();
    Feed(KeyEvent(SDLK_d, false, KMOD_RALT));
    Frame();
    EXPECT_TRUE(engine.KeyState(Key::D).released);
    EXPECT_FALSE(engine.KeyState(Key::D).held);
}

TEST_F(SdlEventTable, MouseMotionMapsThroughTheLetterboxedViewport) {
    Feed(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1920, 1080));
    EXPECT_EQ(engine.GetViewPos(), Vec2i(240, 0));
    EXPECT_EQ(engine.GetViewSize(), Vec2i(1440, 1080));
    Feed(MotionEvent(1000, 540));
    Frame();
    EXPECT_EQ(engine.MouseX(), 422);
    EXPECT_EQ(engine.MouseY(), 300);
    // Outside the drawing area (a captured drag) the position arrives negative or beyond it.
    Feed(MotionEvent(-15, 2000));
    Frame();
    EXPECT_EQ(engine.MouseX(), 0);
    EXPECT_EQ(engine.MouseY(), 599);
}

TEST_F(SdlEventTable, ButtonsLeftRightMiddleAreZeroOneTwo) {
    Feed(ButtonEvent(SDL_BUTTON_LEFT, true));
    Feed(ButtonEvent(SDL_BUTTON_RIGHT, true));
    Feed(ButtonEvent(SDL_BUTTON_MIDDLE, true));
    Feed(ButtonEvent(SDL_BUTTON_X1, true));
    Frame();
    for (uint32_t b = 0; b < 3; b++) EXPECT_TRUE(engine.MouseButtonState(b).pressed) << b;
    for (uint32_t b = 3; b < 5; b++) EXPECT_FALSE(engine.MouseButtonState(b).held) << b;
    Feed(ButtonEvent(SDL_BUTTON_RIGHT, false));
    Frame();
    EXPECT_TRUE(engine.MouseButtonState(1).released);
    EXPECT_TRUE(engine.MouseButtonState(0).held);
}

TEST_F(SdlEventTable, WheelCounts120PerNotch) {
    Feed(WheelEvent(1));
    Feed(WheelEvent(1));
    Frame();
    EXPECT_EQ(engine.MouseWheel(), 240);
    Frame();
    EXPECT_EQ(engine.MouseWheel(), 0);
    Feed(WheelEvent(-1));
    Frame();
    EXPECT_EQ(engine.MouseWheel(), -120);
    // "Natural" scrolling reports flipped values; the engine counts the physical direction.
    Feed(WheelEvent(-1, SDL_MOUSEWHEEL_FLIPPED));
    Frame();
    EXPECT_EQ(engine.MouseWheel(), 120);
}

TEST_F(SdlEventTable, FocusSizeAndMinimise) {
    Feed(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
    EXPECT_TRUE(engine.IsFocused());
    Feed(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_FALSE(engine.IsFocused());

    Feed(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 1000));
    EXPECT_EQ(engine.GetWindowSize(), Vec2i(800, 1000));
    EXPECT_EQ(engine.GetViewPos(), Vec2i(0, 200));
    Feed(WindowEvent(SDL_WINDOWEVENT_MINIMIZED));
    EXPECT_EQ(engine.GetWindowSize(), Vec2i(0, 0));
    // Moves and exposures change nothing.
    Feed(WindowEvent(SDL_WINDOWEVENT_MOVED, 5, 5));
    EXPECT_EQ(engine.GetWindowSize(), Vec2i(0, 0));
}

TEST_F(SdlEventTable, RestoreAfterMinimiseTakesTheWindowsSizeAgain) {
    // SDL's dummy video driver keeps windows in memory: no display is needed.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("restore", 0, 0, 1281, 800, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    Feed(WindowEvent(SDL_WINDOWEVENT_MINIMIZED));
    EXPECT_EQ(engine.GetWindowSize(), Vec2i(0, 0));
    SDL_Event restored = WindowEvent(SDL_WINDOWEVENT_RESTORED);
    restored.window.windowID = SDL_GetWindowID(window);
    Feed(restored);
    EXPECT_EQ(engine.GetWindowSize(), Vec2i(1281, 800));
    EXPECT_EQ(engine.GetViewPos(), Vec2i(107, 0));
    EXPECT_EQ(engine.GetViewSize(), Vec2i(1066, 800));
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST_F(SdlEventTable, CloseOnlyRequestsAStop) {
    Feed(WindowEvent(SDL_WINDOWEVENT_CLOSE));
    EXPECT_FALSE(running);
    // SDL's own quit event is not a close request: the window's close button already was one.
    running = true;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Feed(quit);
    EXPECT_TRUE(running);
}

TEST_F(SdlEventTable, TypedTextAndFocusLossReachTheEngine) {
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    SDL_strlcpy(text.text.text, "\xC3\xA9t\xC3\xA9", sizeof text.text.text);
    Feed(text);
    Feed(KeyEvent(SDLK_a, true));
    Frame();
    EXPECT_EQ(engine.TypedText(), "\xC3\xA9t\xC3\xA9");
    Feed(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    Frame();
    EXPECT_EQ(engine.TypedText(), "");
    EXPECT_TRUE(engine.KeyState(Key::A).released);
}

// Real controllers through SDL's game-controller API: SDL's own virtual joysticks stand in for
// devices, and SDL's event queue carries their events as it would a plugged-in pad's.
class SdlPadsTest : public SdlEventTable {
  protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError(); }
    void TearDown() override {
        while (SDL_NumJoysticks() > 0) SDL_JoystickDetachVirtual(0);
        Pump();
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    // Plugs in a virtual controller and returns its instance id.
    SDL_JoystickID Attach() {
        const int index =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
        EXPECT_GE(index, 0) << SDL_GetError();
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
        Pump();
        return id;
    }
    void Detach(SDL_JoystickID id) {
        for (int i = 0; i < SDL_NumJoysticks(); i++)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        Pump();
    }
    void SetButton(SDL_JoystickID id, SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(SDL_JoystickFromInstanceID(id), button, down);
        Pump();
    }
    void SetAxis(SDL_JoystickID id, SDL_GameControllerAxis axis, Sint16 value) {
        SDL_JoystickSetVirtualAxis(SDL_JoystickFromInstanceID(id), axis, value);
        Pump();
    }
    void Pump() {
        SDL_JoystickUpdate();
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (!pads.Dispatch(e, engine)) Feed(e);
    }
    SdlPads pads;
};

TEST_F(SdlPadsTest, ControllersBecomePadsWithTheirButtonsAndAxes) {
    const SDL_JoystickID first = Attach();
    const SDL_JoystickID second = Attach();
    Frame();
    EXPECT_EQ(pads.PadOf(first), 0);
    EXPECT_EQ(pads.PadOf(second), 1);
    EXPECT_TRUE(engine.PadConnection(0).pressed);
    EXPECT_TRUE(engine.PadConnection(1).pressed);

    SetButton(second, SDL_CONTROLLER_BUTTON_A, true);
    SetButton(second, SDL_CONTROLLER_BUTTON_A, false); // a tap between frames
    SetButton(second, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    SetAxis(second, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    SetAxis(second, SDL_CONTROLLER_AXIS_RIGHTY, 32767);
    SetAxis(second, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    SetAxis(second, SDL_CONTROLLER_AXIS_LEFTY, 3000); // inside the dead zone
    Frame();
    EXPECT_TRUE(engine.PadButtonState(1, PadButton::A).pressed);
    EXPECT_TRUE(engine.PadButtonState(1, PadButton::Left).held);
    EXPECT_TRUE(engine.PadButtonState(1, PadButton::RightTrigger).held);
    EXPECT_FALSE(engine.PadButtonState(0, PadButton::A).held);
    EXPECT_EQ(engine.PadAxisValue(1, PadAxis::LeftX), -1.0f);
    EXPECT_EQ(engine.PadAxisValue(1, PadAxis::RightY), 1.0f);
    EXPECT_EQ(engine.PadAxisValue(1, PadAxis::RightTrigger), 1.0f);
    EXPECT_EQ(engine.PadAxisValue(1, PadAxis::LeftY), 0.0f);
    Frame();
    EXPECT_TRUE(engine.PadButtonState(1, PadButton::A).released);

    // Pulling the first pad frees its number for the next controller; the second keeps its own.
    Detach(first);
    Frame();
    EXPECT_TRUE(engine.PadConnection(0).released);
    EXPECT_TRUE(engine.IsPadConnected(1));
    const SDL_JoystickID third = Attach();
    Frame();
    EXPECT_EQ(pads.PadOf(third), 0);
    EXPECT_TRUE(engine.PadConnection(0).pressed);

    // Pulled out while held: the button is let go.
    Detach(second);
    Frame();
    EXPECT_FALSE(engine.IsPadConnected(1));
    EXPECT_TRUE(engine.PadButtonState(1, PadButton::Left).released);
    EXPECT_EQ(engine.PadAxisValue(1, PadAxis::LeftX), 0.0f);
}

TEST_F(SdlPadsTest, AFifthControllerGetsNoPad) {
    SDL_JoystickID ids[PadCount + 1];
    for (SDL_JoystickID& id : ids) id = Attach();
    Frame();
    for (int pad = 0; pad < PadCount; pad++) EXPECT_TRUE(engine.IsPadConnected(pad));
    EXPECT_EQ(pads.PadOf(ids[PadCount]), -1);
    SetButton(ids[PadCount], SDL_CONTROLLER_BUTTON_B, true);
    Frame();
    for (int pad = 0; pad < PadCount; pad++)
        EXPECT_FALSE(engine.PadButtonState(pad, PadButton::B).held);
}

} // namespace
} // namespace dral
