// SDL2's audio device under the engine's mixer: SDL holds the device lock while its callback
// runs, which is the lock the engine takes to change its voices.
#include "audio/sdl/audio_sdl.h"

#include <SDL.h>

namespace dral {

AudioDevice_SDL::~AudioDevice_SDL() {
    Close();
}

ResultCode AudioDevice_SDL::Open(AudioPull newPull) {
    if (id != 0) return Fail;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Fail;
    pull = std::move(newPull);
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(AudioRate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<uint8_t>(AudioChannels);
    wanted.samples = BufferFrames;
    wanted.callback = &AudioDevice_SDL::Callback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to the card's own format behind the callback.
    id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (id == 0) {
        pull = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return Fail;
    }
    SDL_PauseAudioDevice(id, 0);
    return Ok;
}

void AudioDevice_SDL::Close() {
    if (id == 0) return;
    SDL_CloseAudioDevice(id);
    id = 0;
    pull = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioDevice_SDL::Lock() {
    SDL_LockAudioDevice(id);
}

void AudioDevice_SDL::Unlock() {
    SDL_UnlockAudioDevice(id);
}

bool AudioDevice_SDL::Lost() {
    return id != 0 && SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_STOPPED;
}

void AudioDevice_SDL::Callback(void* self, uint8_t* stream, int bytes) {
    auto* device = static_cast<AudioDevice_SDL*>(self);
    const auto frames = static_cast<uint32_t>(bytes) / (AudioChannels * 2);
    device->pull(reinterpret_cast<int16_t*>(stream), frames);
}

} // namespace dral
