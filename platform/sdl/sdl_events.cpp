// The event table of the SDL platform: SDL key codes to the engine's key values, and window-system
// events to the engine's input and window-size updates. Plain functions, so they can be fed
// synthetic events without a display.
#include "engine/tesserine.h"
#include "platform/sdl/platform_sdl.h"

#include <iterator>

namespace dral {

namespace {

Key Offset(Key first, int32_t steps) {
    return static_cast<Key>(static_cast<int32_t>(first) + steps);
}

int32_t MouseButtonIndex(uint8_t sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT:
        return 0;
    case SDL_BUTTON_RIGHT:
        return 1;
    case SDL_BUTTON_MIDDLE:
        return 2;
    default:
        return -1;
    }
}

void DispatchWindowChange(const SDL_WindowEvent& window, Tesserine& engine) {
    switch (window.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        engine.UpdateWindowSize(window.data1, window.data2);
        break;
    // A minimised window has no drawing area; restoring it brings the size back.
    case SDL_WINDOWEVENT_MINIMIZED:
        engine.UpdateWindowSize(0, 0);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (SDL_Window* w = SDL_GetWindowFromID(window.windowID)) {
            int width = 0, height = 0;
            SDL_GetWindowSize(w, &width, &height);
            engine.UpdateWindowSize(width, height);
        }
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        engine.UpdateKeyFocus(true);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        engine.UpdateKeyFocus(false);
        break;
    // Only a request: the engine decides, and the window stays until the engine thread is done.
    case SDL_WINDOWEVENT_CLOSE:
        engine.RequestStop();
        break;
    default:
        break;
    }
}

} // namespace

Key MapSdlKey(SDL_Keycode code) {
    if (code >= SDLK_a && code <= SDLK_z) return Offset(Key::A, code - SDLK_a);
    if (code >= SDLK_0 && code <= SDLK_9) return Offset(Key::K0, code - SDLK_0);
    if (code >= SDLK_F1 && code <= SDLK_F12) return Offset(Key::F1, code - SDLK_F1);
    if (code >= SDLK_KP_1 && code <= SDLK_KP_9) return Offset(Key::Np1, code - SDLK_KP_1);
    switch (code) {
    case SDLK_UP:
        return Key::Up;
    case SDLK_DOWN:
        return Key::Down;
    case SDLK_LEFT:
        return Key::Left;
    case SDLK_RIGHT:
        return Key::Right;
    case SDLK_SPACE:
        return Key::Space;
    case SDLK_TAB:
        return Key::Tab;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return Key::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return Key::Ctrl;
    case SDLK_INSERT:
        return Key::Ins;
    case SDLK_DELETE:
        return Key::Del;
    case SDLK_HOME:
        return Key::Home;
    case SDLK_END:
        return Key::End;
    case SDLK_PAGEUP:
        return Key::PgUp;
    case SDLK_PAGEDOWN:
        return Key::PgDn;
    case SDLK_BACKSPACE:
        return Key::Back;
    case SDLK_ESCAPE:
        return Key::Escape;
    // Both Enter keys are one key to the engine, as the keypad's is elsewhere.
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return Key::Enter;
    case SDLK_PAUSE:
        return Key::Pause;
    case SDLK_SCROLLLOCK:
        return Key::ScrollLock;
    case SDLK_KP_0:
        return Key::Np0;
    case SDLK_KP_MULTIPLY:
        return Key::NpMul;
    case SDLK_KP_DIVIDE:
        return Key::NpDiv;
    case SDLK_KP_PLUS:
        return Key::NpAdd;
    case SDLK_KP_MINUS:
        return Key::NpSub;
    case SDLK_KP_PERIOD:
        return Key::NpDecimal;
    default:
        return Key::None;
    }
}

bool IsSystemKeyDown(const SDL_KeyboardEvent& key) {
    if (key.type != SDL_KEYDOWN) return false;
    const SDL_Keycode code = key.keysym.sym;
    return code == SDLK_LALT || code == SDLK_RALT || code == SDLK_F10 ||
           (key.keysym.mod & KMOD_ALT) != 0;
}

void DispatchWindowEvent(const SDL_Event& event, Tesserine& engine) {
    switch (event.type) {
    case SDL_MOUSEMOTION:
        engine.UpdateMouse(event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (const int32_t button = MouseButtonIndex(event.button.button); button >= 0)
            engine.UpdateMouseState(button, event.type == SDL_MOUSEBUTTONDOWN);
        break;
    case SDL_MOUSEWHEEL: {
        const int32_t notches =
            event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        engine.UpdateMouseWheelNotches(notches);
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        // A release always goes through, so a key let go while Alt is held cannot stick.
        if (!IsSystemKeyDown(event.key))
            engine.UpdateKeyState(static_cast<int32_t>(MapSdlKey(event.key.keysym.sym)),
                                  event.type == SDL_KEYDOWN);
        break;
    case SDL_TEXTINPUT:
        engine.UpdateTypedText(event.text.text);
        break;
    case SDL_WINDOWEVENT:
        DispatchWindowChange(event.window, engine);
        break;
    default:
        break;
    }
}

static_assert(SDL_CONTROLLER_AXIS_LEFTX == int(PadAxis::LeftX) &&
              SDL_CONTROLLER_AXIS_RIGHTY == int(PadAxis::RightY) &&
              SDL_CONTROLLER_AXIS_TRIGGERRIGHT == int(PadAxis::RightTrigger));

bool MapSdlPadButton(uint8_t sdlButton, PadButton& button) {
    // SDL's order up to the d-pad, with the engine's button for each.
    constexpr PadButton table[] = {
        PadButton::A,
        PadButton::B,
        PadButton::X,
        PadButton::Y,
        PadButton::Back,
        PadButton::Guide,
        PadButton::Start,
        PadButton::LeftStick,
        PadButton::RightStick,
        PadButton::LeftShoulder,
        PadButton::RightShoulder,
        PadButton::Up,
        PadButton::Down,
        PadButton::Left,
        PadButton::Right,
    };
    static_assert(std::size(table) == SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1);
    if (sdlButton >= std::size(table)) return false;
    button = table[sdlButton];
    return true;
}

SdlPads::~SdlPads() {
    for (SDL_GameController* controller : controllers)
        if (controller) SDL_GameControllerClose(controller);
}

int32_t SdlPads::PadOf(SDL_JoystickID id) const {
    for (int32_t pad = 0; pad < PadCount; pad++)
        if (controllers[pad] && ids[pad] == id) return pad;
    return -1;
}

void SdlPads::Open(int32_t deviceIndex, Tesserine& engine) {
    int32_t pad = 0;
    while (pad < PadCount && controllers[pad]) pad++;
    if (pad == PadCount) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    // SDL may announce a controller twice (at start-up and as it enumerates).
    if (PadOf(id) >= 0) {
        SDL_GameControllerClose(controller);
        return;
    }
    controllers[pad] = controller;
    ids[pad] = id;
    engine.UpdatePadConnection(pad, true);
}

void SdlPads::Close(SDL_JoystickID id, Tesserine& engine) {
    const int32_t pad = PadOf(id);
    if (pad < 0) return;
    engine.UpdatePadConnection(pad, false);
    SDL_GameControllerClose(controllers[pad]);
    controllers[pad] = nullptr;
    ids[pad] = -1;
}

bool SdlPads::Dispatch(const SDL_Event& event, Tesserine& engine) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        Open(event.cdevice.which, engine);
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        Close(event.cdevice.which, engine);
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        PadButton button;
        if (MapSdlPadButton(event.cbutton.button, button))
            engine.UpdatePadButton(PadOf(event.cbutton.which), button,
                                   event.type == SDL_CONTROLLERBUTTONDOWN);
        return true;
    }
    case SDL_CONTROLLERAXISMOTION:
        // SDL's axes run in the engine's order; sticks reach −32768, triggers rest at 0.
        if (event.caxis.axis < PadAxisCount)
            engine.UpdatePadAxis(PadOf(event.caxis.which), static_cast<PadAxis>(event.caxis.axis),
                                 static_cast<float>(event.caxis.value) / 32767.0f);
        return true;
    default:
        return false;
    }
}

} // namespace dral
