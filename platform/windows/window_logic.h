// The Win32 platform's plain logic, kept free of <windows.h> so it can be tested on its own: the
// table from virtual-key codes to engine keys, the window-message dispatch into the engine's input
// and size updates, the window style and size arithmetic, and the pixel layout of a GDI blit.
// Needs: the engine (its input updates and value types) and the standard library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "engine/pixel.h"
#include "engine/vec2.h"

namespace dral {

class Tesserine;

namespace win32 {

// Virtual-key code to engine Key value; a code the table does not hold means Key::None.
using KeyMap = std::map<uint32_t, uint8_t>;

void FillKeyMap(KeyMap& keys);
uint8_t LookUpKey(const KeyMap& keys, uint32_t virtualKey);

// What the window procedure must still do once the engine has seen a message.
enum class MessageOutcome {
    Handled,       // answer 0
    PostQuit,      // post the quit message, then answer 0
    DefaultHandler // leave the message to the system's default handling
};

// Hands one window message to the engine. A key released while Alt is held (a system key-up)
// counts as a release but is left to the default handler too, which drives the window menu. Keys
// still held when the focus goes are released by the engine itself. A character message must carry
// a UTF-16 unit (the window procedure converts those of an ANSI window).
MessageOutcome DispatchWindowMessage(Tesserine& engine, const KeyMap& keys, uint32_t message,
                                     uintptr_t wParam, intptr_t lParam);

// Mouse coordinates and wheel deltas are signed 16-bit fields packed into a message parameter.
int32_t LowSigned16(uintptr_t value);
int32_t HighSigned16(uintptr_t value);

struct WindowStyle {
    uint32_t style;
    uint32_t exStyle;
};
WindowStyle ChooseWindowStyle(bool fullScreen);

struct WindowRect {
    int32_t left, top, right, bottom;
};
// The outer size of a frame rectangle grown around the client area.
Vec2i OuterSize(const WindowRect& frame);
// Full screen covers the display from its origin: the size becomes the display's extent.
void CoverDisplay(const WindowRect& display, Vec2i& position, Vec2i& size);

// A 32-bit device-independent bitmap keeps each pixel as the bytes blue, green, red and an unused
// one: copies `count` engine pixels into `dib` in that layout, the unused byte 0. `dib` grows to
// `count` and keeps its storage, so a frame of the same size allocates nothing.
void ToDibPixels(const Pixel* pixels, size_t count, std::vector<uint32_t>& dib);

} // namespace win32
} // namespace dral
