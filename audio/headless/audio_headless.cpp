// The headless audio device: pulls run on the caller's thread, under the same lock the engine
// takes to change its voices.
#include "audio/headless/audio_headless.h"

namespace dral {

ResultCode AudioDevice_Headless::Open(AudioPull newPull) {
    if (refuseOpen) return Fail;
    std::lock_guard<std::mutex> lock(mutex);
    pull = std::move(newPull);
    open = true;
    return Ok;
}

void AudioDevice_Headless::Close() {
    std::lock_guard<std::mutex> lock(mutex);
    pull = nullptr;
    open = false;
}

std::vector<int16_t> AudioDevice_Headless::Render(uint32_t frames) {
    std::vector<int16_t> samples(size_t{frames} * AudioChannels, 0);
    std::lock_guard<std::mutex> lock(mutex);
    if (open && !lost && pull) pull(samples.data(), frames);
    return samples;
}

} // namespace dral
