// The music player on the engine's own sound: the file is decoded whole when it opens,
// and the engine's audio device opens with the first play, so a missing file holds no device.
#include "engine/tesserine.h"
#include "game/music_player.h"

namespace crumbolt::music {

namespace {

dral::Sound& Current() {
    static dral::Sound music;
    return music;
}

// The sound of the running engine; null before the engine exists.
dral::Audio* EngineAudio() {
    return dral::Platform::engine ? &dral::Platform::engine->GetAudio() : nullptr;
}

} // namespace

bool Load(const std::string& file) {
    dral::Sound music;
    if (!EngineAudio() || music.LoadFromFile(file) != dral::Ok) return false;
    Current() = music;
    return true;
}

void Play() {
    dral::Audio* audio = EngineAudio();
    if (!audio) return;
    if (audio->GetMusicState() == dral::MusicState::Paused)
        audio->ResumeMusic();
    else if (audio->GetMusicState() == dral::MusicState::Stopped)
        audio->PlayMusic(Current(), true);
}

void Pause() {
    if (dral::Audio* audio = EngineAudio()) audio->PauseMusic();
}

void Unload() {
    if (dral::Audio* audio = EngineAudio()) audio->StopMusic();
    Current() = dral::Sound{};
}

} // namespace crumbolt::music
