// Sound for games: sounds loaded from WAV (and, through the build's decoder, OGG and MP3) files or
// pack entries, played as overlapping voices with volume, pan and loop, one music track with pause
// and resume, and a master volume, all mixed by the engine into the build's audio device.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/audio_device.h"
#include "engine/audio_mixer.h"
#include "engine/result.h"

namespace dral {

class ResourcePack;

/// PCM as a decoder delivers it: interleaved signed 16-bit samples at any rate, one or two
/// channels.
struct DecodedAudio {
    uint32_t rate = 0;            ///< Frames per second.
    uint32_t channels = 0;        ///< 1 or 2.
    std::vector<int16_t> samples; ///< channels × frames samples, channel by channel per frame.
};

/// Decodes whole compressed sound files (OGG, MP3) into PCM; WAV needs no decoder.
class AudioDecoder {
  public:
    /// Releases the decoder.
    virtual ~AudioDecoder() = default;
    /// Decodes the file's bytes into out; name's extension may hint the format. NoFile for bytes
    /// it does not recognise, Fail for a recognised file that is corrupt, or cut short before any
    /// sound (a file cut later keeps what decoded before the cut). On failure out is empty.
    virtual ResultCode Decode(const std::vector<char>& bytes, const std::string& name,
                              DecodedAudio& out) const = 0;
};

/// The decoder of the back-end set the program links (null when it has none: WAV only). Defined
/// by that set's library, as CreateDefaultBackends is.
const AudioDecoder* DefaultAudioDecoder();

/// A sound decoded whole into 48 kHz stereo, ready to play any number of times at once. Copies
/// share the samples; voices playing it keep them alive, so a Sound may go while it still plays.
class Sound {
  public:
    /// Loads the WAV file (8-, 16-, 24-bit or float PCM, mono or stereo, any rate) or any file the
    /// default decoder reads at the UTF-8 path. NoFile when the file is missing or of no known
    /// format, Fail when it is corrupt or holds no sound; on failure the sound is left as it was.
    ResultCode LoadFromFile(const std::string& path);
    /// The same from the pack entry `name`.
    ResultCode LoadFromPack(ResourcePack& pack, const std::string& name);
    /// The same from the bytes of a whole file; name's extension may hint the format.
    ResultCode LoadFromBytes(const std::vector<char>& bytes, const std::string& name);
    /// Takes 48 kHz stereo samples (left first) as they are; Fail, changing nothing, for an empty
    /// or odd-length vector.
    ResultCode SetSamples(std::vector<int16_t> stereo);
    /// Whether samples are loaded.
    bool Loaded() const { return samples != nullptr; }
    /// Length in frames (1/48000 s each); 0 when nothing is loaded.
    uint32_t Frames() const;
    /// The interleaved stereo samples, empty when nothing is loaded.
    const std::vector<int16_t>& Samples() const;

  private:
    std::shared_ptr<const std::vector<int16_t>> samples;
    friend class Audio;
};

/// Writes 48 kHz stereo signed 16-bit samples as a WAV file at path. Fail when it cannot be
/// written completely.
ResultCode SaveWavFile(const std::string& path, const std::vector<int16_t>& stereo);

/// One playing sound, as Audio::Play returns it. A default handle names no voice; a handle
/// whose voice has ended, been stopped or been taken over names none either.
struct Voice {
    uint32_t serial = 0; ///< Which start of a voice this is; 0 for none.
};

/// Whether the music is stopped, playing or paused.
enum class MusicState {
    Stopped, ///< None started, stopped, or ran out.
    Playing, ///< Sounding.
    Paused   ///< Held by PauseMusic.
};

/// The engine's sound: effects as voices and one music track, mixed with a master volume into an
/// audio device. Every operation belongs on the engine thread.
///
/// At most VoiceLimit effects sound at once (the music comes on top). Playing one more takes the
/// voice of the oldest effect that does not loop, which stops there; when every voice loops the
/// new sound is refused (Fail) and nothing changes.
///
/// The device opens when the first sound or music plays. When there is none, or it cannot open,
/// or it is lost later, the engine goes silent for the rest of its life: that play, and every play
/// after it, returns Fail and nothing is mixed; never a crash or a wait.
class Audio {
  public:
    /// An engine whose device is the build's default (CreateDefaultAudioDevice), not yet opened.
    Audio();
    /// Closes the device.
    ~Audio();
    Audio(const Audio&) = delete;
    Audio& operator=(const Audio&) = delete;

    /// Replaces the device (null: silent), stopping every voice and the music and closing the old
    /// device. The new one opens at the next play.
    void UseDevice(std::unique_ptr<AudioDevice> newDevice);

    /// Plays the sound at volume 0–1 and pan −1 (left) … 0 (centre) … 1 (right), from its start,
    /// once or looping until stopped; out-of-range values are clamped. With `voice`, stores its
    /// handle there (a default handle on failure). Fail when nothing is loaded, when every voice
    /// loops, or when there is no working device.
    ResultCode Play(const Sound& sound, float volume = 1.0f, float pan = 0.0f, bool loop = false,
                    Voice* voice = nullptr);
    /// Stops the voice at once. Fail when the handle names no voice.
    ResultCode Stop(Voice voice);
    /// Changes the voice's volume (clamped to 0–1) from its next sample on. Fail when the handle
    /// names no voice.
    ResultCode SetVolume(Voice voice, float volume);
    /// Whether the voice still sounds.
    bool IsPlaying(Voice voice);
    /// Stops every effect (not the music).
    void StopAll();

    /// Starts the sound as the music, from its start, replacing any music; looping unless told
    /// otherwise. Fail as Play.
    ResultCode PlayMusic(const Sound& music, bool loop = true);
    /// Holds the music where it is. Fail when no music plays.
    ResultCode PauseMusic();
    /// Goes on with paused music where it stopped. Fail when no music is paused.
    ResultCode ResumeMusic();
    /// Ends the music; the next PlayMusic starts from the beginning.
    void StopMusic();
    /// Sets the music's volume, 0–1 (clamped).
    void SetMusicVolume(float volume);
    /// Whether the music is stopped (also after it ran out), playing or paused.
    MusicState GetMusicState();

    /// Scales every voice and the music, 0–1 (clamped); 1 at first.
    void SetMasterVolume(float volume);
    /// Whether the engine has gone silent for want of a device.
    bool Silent() const { return silent; }

  private:
    // Opens the device on first use; false when there is no sound to be had.
    bool EnsureDevice();
    // Goes silent if the open device has been lost.
    void NoticeLoss();
    void GoSilent();
    // The device whose pulls must be held off around a change of the mixer, if one is open.
    AudioDevice* Pulling() const { return opened ? device.get() : nullptr; }

    std::unique_ptr<AudioDevice> device;
    bool chosen = false;
    bool opened = false;
    bool silent = false;
    Mixer mixer;
};

} // namespace dral
