// The media-command player: the media control interface on Windows, elsewhere the command text
// read here and played by the build's music player; and the replaceable sink through which tests
// observe the commands.
#include "game/media_command.h"

#ifdef _WIN32
#include <windows.h>

#include <mmsystem.h>
#else
#include <string>
#include <string_view>

#include "game/music_player.h"
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

// The alias of the one open file; empty while none is open.
std::string& OpenAlias() {
    static std::string alias;
    return alias;
}

// Removes prefix from text; false, leaving text alone, when text does not start with it.
bool Consume(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) return false;
    text.remove_prefix(prefix.size());
    return true;
}

bool IsOpen(std::string_view alias) {
    return !OpenAlias().empty() && alias == OpenAlias();
}

void Open(std::string_view rest) {
    if (!OpenAlias().empty()) return; // the alias is taken
    const size_t quote = rest.find('"');
    if (quote == std::string_view::npos) return;
    const std::string file(rest.substr(0, quote));
    std::string_view tail = rest.substr(quote + 1);
    if (file.empty() || !Consume(tail, " type mpegvideo alias ") || tail.empty() ||
        tail.find(' ') != std::string_view::npos)
        return;
    if (music::Load(file)) OpenAlias() = tail;
}

void Play(std::string_view alias) {
    if (IsOpen(alias)) music::Play();
}

void Stop(std::string_view alias) {
    if (IsOpen(alias)) music::Pause();
}

void Close(std::string_view alias) {
    if (!IsOpen(alias)) return;
    music::Unload();
    OpenAlias().clear();
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
