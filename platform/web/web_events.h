// The page's events as engine input: keys, mouse, wheel, focus, the page closing, and the
// double-click that asks for full screen; and the pads, which the page is asked for every frame.
#pragma once

#include "engine/vec2.h"

namespace dral {

class Tesserine;

// Registers the handlers on the browser thread, where the events arrive; they write only the
// engine's atomic input fields. canvasSize is the drawing buffer's size, in which mouse positions
// are reported. False when the browser refuses a handler.
bool ListenToPage(Tesserine& engine, const Vec2i& canvasSize);

// Reads the page's pads (navigator.getGamepads) into the engine's pads 0 to 3, by their index in
// the browser's list. Engine thread, once a frame; the reads are proxied to the browser thread.
void PollGamepads(Tesserine& engine);

} // namespace dral
