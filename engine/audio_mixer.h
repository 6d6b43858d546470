// The engine's one mixing rule: up to VoiceLimit effect voices and a music voice, each scaled by
// its volume, pan and the master volume in 16.16 fixed point, summed and clipped to 16 bits. The
// arithmetic is integer, so every device receives the same samples for the same sounds.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace dral {

/// Effects that may sound at once; the music voice comes on top.
inline constexpr uint32_t VoiceLimit = 32;

/// The voices and their mixing. Not thread-safe by itself: Audio holds the device's lock around
/// every change, and the device calls Mix under that lock.
class Mixer {
  public:
    /// Interleaved 48 kHz stereo samples, shared with the Sound they came from.
    using Samples = std::shared_ptr<const std::vector<int16_t>>;

    /// Starts an effect voice over interleaved 48 kHz stereo samples, taking the oldest
    /// non-looping voice when all are busy. Returns the voice's serial, or 0 when every voice
    /// loops (nothing changes then). volume and pan must already be clamped.
    uint32_t Start(Samples samples, float volume, float pan, bool loop);
    /// Ends the voice with this serial; false when no voice has it.
    bool Stop(uint32_t serial);
    /// Sets the voice's volume; false when no voice has the serial.
    bool SetVolume(uint32_t serial, float volume);
    /// Whether a voice with this serial still sounds.
    bool IsPlaying(uint32_t serial) const;
    /// Ends every effect voice.
    void StopAll();

    /// Starts the music voice from the start of samples, replacing any music.
    void StartMusic(Samples samples, bool loop);
    /// Pauses (true) or resumes (false) the music; false when there is no music in the other state.
    bool HoldMusic(bool hold);
    /// Ends the music voice.
    void StopMusic();
    /// Sets the music's volume.
    void SetMusicVolume(float volume);
    /// Whether the music voice is in use (started, and not stopped or run out).
    bool MusicActive() const { return music().active; }
    /// Whether the music voice is held by HoldMusic.
    bool MusicPaused() const { return music().paused; }

    /// Sets the master volume and rescales every voice.
    void SetMasterVolume(float volume);

    /// Mixes the next `frames` frames into out (2 × frames samples). Allocates nothing; called on
    /// the device's thread.
    void Mix(int16_t* out, uint32_t frames);

  private:
    struct Channel {
        // Keeps the samples alive while the voice may read them; only the engine thread sets it.
        Samples owner;
        const int16_t* samples = nullptr;
        uint32_t frames = 0;
        uint32_t position = 0;
        float volume = 1.0f;
        float pan = 0.0f;
        // 16.16 fixed-point factors of volume × pan side × master.
        int32_t gainLeft = 0;
        int32_t gainRight = 0;
        uint32_t serial = 0;
        uint64_t startOrder = 0;
        bool loop = false;
        bool active = false;
        bool paused = false;
    };
    static constexpr uint32_t ChunkFrames = 256;

    Channel& music() { return channels[VoiceLimit]; }
    const Channel& music() const { return channels[VoiceLimit]; }
    // The effect voice sounding with this serial, VoiceLimit when there is none.
    uint32_t IndexOf(uint32_t serial) const;
    Channel* Find(uint32_t serial);
    Channel* FreeOrOldest();
    void Begin(Channel& channel, Samples samples, float volume, float pan, bool loop);
    void Rescale(Channel& channel) const;
    void Accumulate(Channel& channel, uint32_t frames);

    std::array<Channel, VoiceLimit + 1> channels{};
    std::array<int32_t, ChunkFrames * 2> accumulator{};
    float masterVolume = 1.0f;
    uint32_t nextSerial = 1;
    uint64_t nextStartOrder = 0;
};

} // namespace dral
