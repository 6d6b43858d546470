// The audio device of the Windows build: winmm's waveOut, fed by a thread of the device's own
// that refills a ring of buffers from the engine's mixer as the system finishes playing them.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/audio_device.h"

namespace dral {

/// waveOut with BufferCount buffers of BufferFrames frames each (about 64 ms queued in all).
class AudioDevice_WinMM : public AudioDevice {
  public:
    /// A closed device; Open starts waveOut.
    AudioDevice_WinMM();
    /// Closes the device if it is open.
    ~AudioDevice_WinMM() override;
    ResultCode Open(AudioPull pull) override;
    void Close() override;
    void Lock() override { mutex.lock(); }
    void Unlock() override { mutex.unlock(); }
    /// True once waveOut refused a buffer, as it does when the device has gone.
    bool Lost() override { return lost; }

    /// Buffers queued with waveOut at once.
    static constexpr uint32_t BufferCount = 4;
    /// Frames in each buffer (16 ms).
    static constexpr uint32_t BufferFrames = 768;

  private:
    struct Output;
    void Feed();

    std::unique_ptr<Output> output;
    AudioPull pull;
    std::mutex mutex;
    std::thread feeder;
    std::atomic<bool> stopping{false};
    std::atomic<bool> lost{false};
};

} // namespace dral
