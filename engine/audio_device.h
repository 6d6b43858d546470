// The audio back-end contract: a device that takes the engine's mixed PCM by calling back into
// the mixer, and the build's default device. The engine owns the mixing; a device only moves
// samples, so the same sounds give the same samples on every device.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "engine/result.h"

namespace dral {

/// Frames per second of every device and of every sound once loaded.
inline constexpr uint32_t AudioRate = 48000;
/// Interleaved channels of a frame: left, then right.
inline constexpr uint32_t AudioChannels = 2;

/// Fills `frames` frames (2 × frames signed 16-bit samples, left first) at `samples`. The device
/// calls it on a thread of its own, never while Lock is held.
using AudioPull = std::function<void(int16_t* samples, uint32_t frames)>;

/// A sound output taking 48 kHz stereo signed 16-bit PCM.
///
/// One object serves one engine, which calls every operation on the engine thread. Order: Open,
/// then any number of Lock/Unlock pairs and Lost queries, then Close (also at destruction). The
/// device decides its buffer size and when it pulls; pulls happen only between a successful Open
/// and the return of Close, on the device's own thread.
class AudioDevice {
  public:
    /// Closes the device if it is open.
    virtual ~AudioDevice() = default;
    /// Starts output, calling `pull` whenever the device needs samples. Ok: pulls may start at
    /// once. Fail: no device (none present, busy or refusing the format); nothing is held and
    /// `pull` is never called. The device keeps `pull` until Close.
    virtual ResultCode Open(AudioPull pull) = 0;
    /// Stops output; when it returns no pull runs and none will. Harmless when not open.
    virtual void Close() = 0;
    /// Holds off pulls until Unlock, so the engine can change what is being mixed. Waits for a pull
    /// in progress to end. Only between Open and Close; never held across a frame.
    virtual void Lock() = 0;
    /// Lets pulls run again after Lock.
    virtual void Unlock() = 0;
    /// True once the open device has gone away (unplugged, or its driver failed); it then pulls no
    /// more and only Close is of use. False while it plays and before Open.
    virtual bool Lost() = 0;
};

/// The audio device of the back-end set the program links, or null when that set has none (the
/// engine then stays silent). Defined by that set's library, as CreateDefaultBackends is; called
/// on the engine thread when the first sound plays.
std::unique_ptr<AudioDevice> CreateDefaultAudioDevice();

} // namespace dral
