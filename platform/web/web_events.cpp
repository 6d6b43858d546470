// The DOM event handlers of the browser platform. They run on the browser thread and reach the
// engine through Platform::engine.
#include "platform/web/web_events.h"

#include <emscripten/html5.h>

#include <cstring>

#include "engine/tesserine.h"
#include "platform/web/gamepad_map.h"
#include "platform/web/platform_web.h"

namespace dral {

namespace {

// The drawing buffer's size: set on the program's main thread, read by the handlers on the
// browser thread.
SharedVec2i canvasBuffer;

Tesserine* Engine() {
    return Platform::engine;
}

// Whether a NUL-terminated UTF-8 string holds exactly one character.
bool IsOneCharacter(const char* text) {
    size_t characters = 0;
    for (const char* c = text; *c; ++c)
        if ((static_cast<unsigned char>(*c) & 0xC0) != 0x80) ++characters;
    return characters == 1;
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void*) {
    Tesserine* engine = Engine();
    if (!engine) return EM_FALSE;
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    // Keys held with Alt belong to the browser, like system keys on the desktop; a release always
    // goes through so that no key sticks.
    if (down && (event->altKey || std::strcmp(event->code, "AltLeft") == 0 ||
                 std::strcmp(event->code, "AltRight") == 0))
        return EM_FALSE;
    const Key key = MapDomKey(event->code);
    engine->UpdateKeyState(static_cast<int32_t>(key), down);
    // A key-down whose value is one character is typed text (repeats included); named keys such
    // as "Enter" or "Backspace" are longer, and shortcuts with Ctrl or Meta are not typing.
    if (down && !event->ctrlKey && !event->metaKey && IsOneCharacter(event->key))
        engine->UpdateTypedText(event->key);
    // The page must not scroll on Space or the arrows; function keys keep their browser meaning
    // (reload, developer tools).
    const int value = static_cast<int>(key);
    return key != Key::None &&
           !(value >= static_cast<int>(Key::F1) && value <= static_cast<int>(Key::F12));
}

// The event's position in the canvas's CSS pixels, scaled into drawing-buffer pixels.
Vec2i BufferPosition(const EmscriptenMouseEvent& event) {
    double cssWidth = 0.0, cssHeight = 0.0;
    emscripten_get_element_css_size(CanvasSelector, &cssWidth, &cssHeight);
    if (cssWidth <= 0.0 || cssHeight <= 0.0) return {event.targetX, event.targetY};
    const Vec2i buffer = canvasBuffer.Load();
    return {static_cast<int32_t>(static_cast<double>(event.targetX) * buffer.x / cssWidth),
            static_cast<int32_t>(static_cast<double>(event.targetY) * buffer.y / cssHeight)};
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* event, void*) {
    Tesserine* engine = Engine();
    if (!engine) return EM_FALSE;
    const Vec2i at = BufferPosition(*event);
    engine->UpdateMouse(at.x, at.y);
    if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) return EM_FALSE;
    // DOM buttons are left, middle, right; the engine's are left, right, middle.
    constexpr int32_t engineButton[3] = {0, 2, 1};
    if (event->button > 2) return EM_FALSE;
    engine->UpdateMouseState(engineButton[event->button], type == EMSCRIPTEN_EVENT_MOUSEDOWN);
    return EM_FALSE;
}

EM_BOOL OnWheel(int, const EmscriptenWheelEvent* event, void*) {
    Tesserine* engine = Engine();
    if (!engine || event->deltaY == 0.0) return EM_FALSE;
    // Turning the wheel away from the user scrolls up (negative deltaY) and counts positive.
    engine->UpdateMouseWheelNotches(event->deltaY < 0.0 ? 1 : -1);
    return EM_TRUE;
}

EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void*) {
    if (Tesserine* engine = Engine()) engine->UpdateKeyFocus(type == EMSCRIPTEN_EVENT_FOCUS);
    return EM_FALSE;
}

EM_BOOL OnDoubleClick(int, const EmscriptenMouseEvent*, void*) {
    // Only allowed inside a user's gesture; the whole page goes full screen and CSS refits the
    // canvas into it.
    EM_ASM({
        if (document.documentElement.requestFullscreen)
            document.documentElement.requestFullscreen().catch(function(){});
    });
    return EM_TRUE;
}

// Closing or leaving the page is a request to stop, like closing a window. When OnDestroy refuses
// it, the browser is asked to let the user stay (it may only ask after a gesture on the page).
const char* OnPageClose(int, const void*, void*) {
    auto* page = dynamic_cast<Platform_Web*>(platform.get());
    return page && page->ClosePage() ? "The game is still running." : nullptr;
}

} // namespace

bool ListenToPage(Tesserine& engine, const Vec2i& canvasSize) {
    canvasBuffer.Store(canvasSize);
    const pthread_t browser = EM_CALLBACK_THREAD_CONTEXT_MAIN_BROWSER_THREAD;
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    bool ok = true;
    auto check = [&ok](EMSCRIPTEN_RESULT result) {
        ok = ok && result == EMSCRIPTEN_RESULT_SUCCESS;
    };
    check(emscripten_set_keydown_callback_on_thread(window, nullptr, true, OnKey, browser));
    check(emscripten_set_keyup_callback_on_thread(window, nullptr, true, OnKey, browser));
    check(emscripten_set_mousemove_callback_on_thread(CanvasSelector, nullptr, true, OnMouse,
                                                      browser));
    check(emscripten_set_mousedown_callback_on_thread(CanvasSelector, nullptr, true, OnMouse,
                                                      browser));
    check(
        emscripten_set_mouseup_callback_on_thread(CanvasSelector, nullptr, true, OnMouse, browser));
    check(emscripten_set_wheel_callback_on_thread(CanvasSelector, nullptr, true, OnWheel, browser));
    check(emscripten_set_dblclick_callback_on_thread(CanvasSelector, nullptr, true, OnDoubleClick,
                                                     browser));
    check(emscripten_set_focus_callback_on_thread(window, nullptr, true, OnFocus, browser));
    check(emscripten_set_blur_callback_on_thread(window, nullptr, true, OnFocus, browser));
    check(emscripten_set_beforeunload_callback_on_thread(nullptr, OnPageClose, browser));
    // A page opened in front already has the focus and sends no event for it.
    engine.UpdateKeyFocus(MAIN_THREAD_EM_ASM_INT({ return document.hasFocus() ? 1 : 0; }) != 0);
    return ok;
}

void PollGamepads(Tesserine& engine) {
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return;
    const int count = emscripten_get_num_gamepads();
    for (int32_t pad = 0; pad < PadCount; pad++) {
        EmscriptenGamepadEvent state{};
        const bool present =
            pad < count &&
            emscripten_get_gamepad_status(pad, &state) == EMSCRIPTEN_RESULT_SUCCESS &&
            state.connected;
        const GamepadView view{std::strcmp(state.mapping, "standard") == 0,
                               state.numAxes,
                               state.axis,
                               state.numButtons,
                               state.analogButton,
                               state.digitalButton};
        ReportStandardGamepad(engine, pad, present ? &view : nullptr);
    }
}

} // namespace dral
