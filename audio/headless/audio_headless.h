// An audio device without a sound card: it pulls only when asked, so a test or a replay reads the
// engine's mixed samples one buffer at a time, and it can be made to refuse or lose the device.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "engine/audio_device.h"

namespace dral {

/// The AudioDevice of tests, replays and servers. Hand it to Audio::UseDevice and keep a plain
/// pointer to it to call Render.
class AudioDevice_Headless : public AudioDevice {
  public:
    ResultCode Open(AudioPull pull) override;
    void Close() override;
    void Lock() override { mutex.lock(); }
    void Unlock() override { mutex.unlock(); }
    bool Lost() override { return lost; }

    /// Pulls the next `frames` frames from the engine, as a sound card would; all zero when the
    /// device is not open or has been lost. Any thread.
    std::vector<int16_t> Render(uint32_t frames);
    /// From now on the device behaves as one unplugged: Lost is true and nothing is pulled.
    void Lose() { lost = true; }
    /// Whether the engine has opened the device and not closed it.
    bool IsOpen() const { return open; }

    /// Makes Open fail, as on a machine without a sound card. Set it before the first play.
    bool refuseOpen = false;

  private:
    std::mutex mutex;
    AudioPull pull;
    std::atomic<bool> open{false};
    std::atomic<bool> lost{false};
};

} // namespace dral
