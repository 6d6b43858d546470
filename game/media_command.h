// The game's music is driven by media-control command strings. On Windows they go unchanged to
// the system's media control interface; elsewhere a small player (the engine's sound on the
// desktop, an <audio> element in the browser) understands the commands the game sends. Every
// failure is silent: without a device or file the game runs mute.
#pragma once

#include <functional>

namespace crumbolt {

// Hands one command to the current sink: the platform's player, unless a test has replaced it.
void SendMediaCommand(const char* command);

using MediaCommandSink = std::function<void(const char* command)>;
// Sends later commands to sink instead; an empty sink gives them back to the platform's player.
void SetMediaCommandSink(MediaCommandSink sink);

// The platform's player. Besides Windows it accepts
//   open "FILE" type mpegvideo alias NAME   (loads FILE under NAME; one file at a time)
//   play NAME repeat                        (plays in a loop, or resumes after a stop)
//   stop NAME                               (stops, keeping the position for the next play)
// and ignores any other string, an unknown NAME, and every failure of the audio device or file.
void PlayMediaCommand(const char* command);

} // namespace crumbolt
