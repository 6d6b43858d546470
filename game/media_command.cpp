// The media-command player: the media control interface on Windows, SDL2_mixer elsewhere, and
// the replaceable sink through which tests observe the commands.
#include "game/media_command.h"

#ifdef _WIN32
#include <windows.h>

#include <mmsystem.h>
#else
#include <SDL.h>
#include <SDL_mixer.h>

#include <string>
#include <string_view>
#endif

namespace crumbolt {

namespace {
MediaCommandSink& Sink() {
    static MediaCommandSink sink;
    return sink;
}
} // namespace

void SendMediaCommand(const char* command) {
    if (Sink())
        Sink()(command);
    else
        PlayMediaCommand(command);
}

void SetMediaCommandSink(MediaCommandSink sink) {
    Sink() = std::move(sink);
}

#ifdef _WIN32

void PlayMediaCommand(const char* command) {
    mciSendStringA(command, nullptr, 0, nullptr);
}

#else

namespace {

// The one open file. The device is opened with the file and closed again if the file will not
// load, so a missing file holds no device.
struct OpenMusic {
    std::string alias;
    Mix_Music* music = nullptr;
};

OpenMusic& Current() {
    static OpenMusic current;
    return current;
}

// Removes prefix from text; false, leaving text alone, when text does not start with it.
bool Consume(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) return false;
    text.remove_prefix(prefix.size());
    return true;
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

void Open(std::string_view rest) {
    OpenMusic& current = Current();
    if (current.music) return; // the alias is taken
    const size_t quote = rest.find('"');
    if (quote == std::string_view::npos) return;
    const std::string file(rest.substr(0, quote));
    std::string_view tail = rest.substr(quote + 1);
    if (file.empty() || !Consume(tail, " type mpegvideo alias ") || tail.empty() ||
        tail.find(' ') != std::string_view::npos)
        return;
    if (!OpenAudio()) return;
    current.music = Mix_LoadMUS(file.c_str());
    if (!current.music) {
        CloseAudio();
        return;
    }
    current.alias = tail;
}

void Play(std::string_view alias) {
    if (!Current().music || alias != Current().alias) return;
    if (Mix_PausedMusic())
        Mix_ResumeMusic();
    else if (!Mix_PlayingMusic())
        Mix_PlayMusic(Current().music, -1);
}

void Stop(std::string_view alias) {
    if (!Current().music || alias != Current().alias) return;
    Mix_PauseMusic();
}

void Close(std::string_view alias) {
    OpenMusic& current = Current();
    if (!current.music || alias != current.alias) return;
    Mix_HaltMusic();
    Mix_FreeMusic(current.music);
    current = OpenMusic{};
    CloseAudio();
}

} // namespace

void PlayMediaCommand(const char* command) {
    std::string_view text = command ? command : "";
    if (Consume(text, "open \""))
        Open(text);
    else if (Consume(text, "play ") && text.ends_with(" repeat"))
        Play(text.substr(0, text.size() - std::string_view(" repeat").size()));
    else if (Consume(text, "stop "))
        Stop(text);
    else if (Consume(text, "close "))
        Close(text);
}

#endif

} // namespace crumbolt
