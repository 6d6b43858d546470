// How every example starts. Normally: Setup and Run on the desktop window. With "--frames N" on
// the command line, as the tests start them: N frames on the headless back-ends, then a clean exit.
#pragma once

#include <cstdint>

#include "engine/tesserine.h"

namespace examples {

// Runs app on a screen of width x height engine pixels, each pixelSize x pixelSize window pixels.
// Returns the process exit code: 0 after a normal run, 1 when set-up fails or, with --frames, when
// the application ended before its N frames (for example because OnCreate returned false).
int RunExample(dral::Tesserine& app, int argc, char** argv, int32_t width, int32_t height,
               int32_t pixelSize);

} // namespace examples
