// The browser's music player: an <audio> element with the id "tesserine-music", looping the file
// named by its URL relative to the page. Browsers refuse to start sound before the user has
// touched the page; a refused start is tried again at the next key or click.
#include <emscripten/emscripten.h>
#include <emscripten/threading.h>

#include "game/music_player.h"

namespace crumbolt::music {

namespace {
// Whether the element should be sounding; the game sends a stop every tick of its death screen,
// and only a change needs to reach the browser thread.
bool playing = false;

// Pauses the element, and with remove takes it off the page as well.
void Silence(bool remove) {
    playing = false;
    MAIN_THREAD_ASYNC_EM_ASM(
        {
            const audio = document.getElementById('tesserine-music');
            if (!audio) return;
            audio.wanted = false;
            audio.pause();
            if ($0) audio.remove();
        },
        remove);
}
} // namespace

bool Load(const std::string& file) {
    MAIN_THREAD_EM_ASM(
        {
            const audio = document.createElement('audio');
            audio.id = 'tesserine-music';
            audio.loop = true;
            audio.preload = 'auto';
            audio.src = UTF8ToString($0);
            document.body.appendChild(audio);
        },
        file.c_str());
    playing = false;
    return true;
}

void Play() {
    if (playing) return;
    playing = true;
    MAIN_THREAD_ASYNC_EM_ASM({
        const audio = document.getElementById('tesserine-music');
        if (!audio) return;
        audio.wanted = true;
        const retry = function() {
            if (audio.wanted && audio.paused) audio.play().catch(function(){});
        };
        audio.play().catch(function() {
            window.addEventListener('keydown', retry, {once : true});
            window.addEventListener('pointerdown', retry, {once : true});
        });
    });
}

void Pause() {
    if (!playing) return;
    Silence(false);
}

void Unload() {
    Silence(true);
}

} // namespace crumbolt::music
