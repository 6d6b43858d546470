// The sound side of the media-command player off Windows: one music file at a time, looping.
// The game, the replay tool and the tests play it through the engine's sound, on the desktop and
// in the browser.
#pragma once

#include <string>

namespace crumbolt::music {

// Loads file for playing; false, with nothing loaded and no device held, when that fails.
bool Load(const std::string& file);
// Plays the loaded file in a loop from its start, or resumes it after Pause.
void Play();
// Pauses, keeping the position for the next Play.
void Pause();
// Stops and lets go of the file and the device.
void Unload();

} // namespace crumbolt::music
