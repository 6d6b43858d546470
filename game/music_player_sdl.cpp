// The desktop music player on SDL2_mixer. The audio device is opened with the file and closed
// again if the file will not load, so a missing file holds no device.
#include <SDL.h>
#include <SDL_mixer.h>

#include "game/music_player.h"

namespace crumbolt::music {

namespace {

Mix_Music*& Current() {
    static Mix_Music* music = nullptr;
    return music;
}

bool OpenAudio() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) == 0) return true;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
}

void CloseAudio() {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace

bool Load(const std::string& file) {
    if (!OpenAudio()) return false;
    Current() = Mix_LoadMUS(file.c_str());
    if (Current()) return true;
    CloseAudio();
    return false;
}

void Play() {
    if (Mix_PausedMusic())
        Mix_ResumeMusic();
    else if (!Mix_PlayingMusic())
        Mix_PlayMusic(Current(), -1);
}

void Pause() {
    Mix_PauseMusic();
}

void Unload() {
    Mix_HaltMusic();
    Mix_FreeMusic(Current());
    Current() = nullptr;
    CloseAudio();
}

} // namespace crumbolt::music
