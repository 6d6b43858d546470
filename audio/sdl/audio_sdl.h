// The audio device of the desktop build: SDL2's audio output, which converts the engine's 48 kHz
// stereo to whatever the sound card takes and calls the mixer from its own thread.
#pragma once

#include <cstdint>

#include "engine/audio_device.h"

namespace dral {

/// SDL2 audio with a buffer of 512 frames (10.7 ms). Opening starts SDL's audio subsystem and
/// closing ends it, so the device lives beside the SDL platform or without it.
class AudioDevice_SDL : public AudioDevice {
  public:
    /// Closes the device if it is open.
    ~AudioDevice_SDL() override;
    ResultCode Open(AudioPull pull) override;
    void Close() override;
    void Lock() override;
    void Unlock() override;
    /// True once SDL reports the device stopped, as it does when the device is removed.
    bool Lost() override;

    /// Frames in one buffer the device asks for.
    static constexpr uint16_t BufferFrames = 512;

  private:
    static void Callback(void* self, uint8_t* stream, int bytes);

    AudioPull pull;
    uint32_t id = 0;
};

} // namespace dral
