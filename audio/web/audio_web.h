// The browser build's sound: a Web Audio device fed by the engine's mixer, and the decoder of
// the compressed sounds the browser decoded while the page loaded (audio_web_sounds.js).
// Depends on Emscripten; works whether the engine runs on the page's thread or on a worker.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "engine/audio.h"

namespace dral {

/// Web Audio at 48 kHz: a ScriptProcessorNode whose callback, on the page's thread, pulls
/// BufferFrames frames from the mixer and hands them to the browser as floats. The browser keeps
/// a new AudioContext suspended until the user touches the page, so the device resumes it at the
/// first key, pointer or touch event; until then nothing is pulled. The page's script sees the
/// open device as Module.tesserineAudio: { context, analyser, fedFrames, loudFrames, peak }, the
/// last the largest sample magnitude fed so far.
class AudioDevice_Web : public AudioDevice {
  public:
    /// Closes the device if it is open.
    ~AudioDevice_Web() override;
    /// Fail when the browser has no Web Audio or refuses a 48 kHz context.
    ResultCode Open(AudioPull pull) override;
    /// Disconnects the node and closes the context on the page's thread.
    void Close() override;
    void Lock() override;
    void Unlock() override;
    /// True once the browser closed the context by itself.
    bool Lost() override;

    /// Frames the browser asks for at a time (21.3 ms).
    static constexpr uint32_t BufferFrames = 1024;

    /// Fills the device's buffer with `frames` frames; called by the node's callback.
    void Fill(uint32_t frames);

  private:
    std::mutex mutex;
    AudioPull pull;
    std::vector<int16_t> buffer;
    // Set by the page's script when the context closes without Close.
    std::atomic<int32_t> lost{0};
    bool open = false;
};

/// Hands out, as 48 kHz stereo, the sounds the page decoded before the program started, found by
/// the name they are loaded under (the file's path or the pack entry's name); NoFile for any
/// other.
const AudioDecoder& BrowserAudioDecoder();

} // namespace dral
