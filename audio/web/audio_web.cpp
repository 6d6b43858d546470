// Web Audio under the engine's mixer. Every call into the browser runs on the page's thread (a
// synchronous hop from a worker), so Close returning means the node will call back no more; the
// mutex is the lock the engine holds while it changes the voices, and the callback takes it too.
#include "audio/web/audio_web.h"

#include <algorithm>

#include <emscripten/emscripten.h>

extern "C" {
// The page's side, in audio_web.js; each runs on the page's thread.
int tesserine_audio_web_open(void* device, int16_t* buffer, uint32_t frames, int32_t* lost);
void tesserine_audio_web_close();
int tesserine_audio_web_sound_frames(const char* name);
void tesserine_audio_web_sound_copy(const char* name, int16_t* out);

// The node's callback on the page's thread: the next `frames` frames into the device's buffer.
EMSCRIPTEN_KEEPALIVE void tesserine_audio_web_fill(dral::AudioDevice_Web* device, uint32_t frames) {
    device->Fill(frames);
}
}

namespace dral {

AudioDevice_Web::~AudioDevice_Web() {
    Close();
}

ResultCode AudioDevice_Web::Open(AudioPull newPull) {
    if (open) return Fail;
    buffer.assign(size_t{BufferFrames} * AudioChannels, 0);
    lost = 0;
    {
        std::lock_guard<std::mutex> hold(mutex);
        pull = std::move(newPull);
    }
    // The lost flag is an int32 the page's script may set, like the atomic it is.
    static_assert(sizeof(lost) == sizeof(int32_t));
    const int made = tesserine_audio_web_open(this, buffer.data(), BufferFrames,
                                              reinterpret_cast<int32_t*>(&lost));
    if (!made) {
        std::lock_guard<std::mutex> hold(mutex);
        pull = nullptr;
        return Fail;
    }
    open = true;
    return Ok;
}

void AudioDevice_Web::Close() {
    if (!open) return;
    tesserine_audio_web_close();
    std::lock_guard<std::mutex> hold(mutex);
    pull = nullptr;
    open = false;
}

void AudioDevice_Web::Lock() {
    mutex.lock();
}

void AudioDevice_Web::Unlock() {
    mutex.unlock();
}

bool AudioDevice_Web::Lost() {
    return open && lost.load() != 0;
}

void AudioDevice_Web::Fill(uint32_t frames) {
    std::lock_guard<std::mutex> hold(mutex);
    frames = std::min(frames, BufferFrames);
    if (pull)
        pull(buffer.data(), frames);
    else
        std::fill_n(buffer.begin(), frames * AudioChannels, int16_t{0});
}

namespace {

class BrowserDecoder : public AudioDecoder {
  public:
    ResultCode Decode(const std::vector<char>&, const std::string& name,
                      DecodedAudio& out) const override {
        out = {};
        const int frames = tesserine_audio_web_sound_frames(name.c_str());
        if (frames < 0) return NoFile;
        if (frames == 0) return Fail;
        out.rate = AudioRate;
        out.channels = AudioChannels;
        out.samples.resize(size_t(frames) * AudioChannels);
        tesserine_audio_web_sound_copy(name.c_str(), out.samples.data());
        return Ok;
    }
};

} // namespace

const AudioDecoder& BrowserAudioDecoder() {
    static const BrowserDecoder decoder;
    return decoder;
}

} // namespace dral
