// Example: sound. Teaches loading sounds (here made in code and saved as a WAV file first, as a
// game would ship them), playing effects with a volume and a pan, looping one and stopping it by
// its handle, and music with pause and resume. Keys 1, 2 and 3 play three blips, panned to where
// the mouse is across the window; hold L for a looping hum that stops when you let go; the music
// starts at once, M stops or restarts it, P pauses and resumes it; Up and Down change the master
// volume. Escape quits.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "runner/run_game.h"

namespace {

// seconds of a sine at frequency Hz fading out, as 48 kHz stereo.
std::vector<int16_t> Tone(float frequency, float seconds, float loudness) {
    const auto frames = static_cast<uint32_t>(seconds * dral::AudioRate);
    std::vector<int16_t> samples(frames * 2);
    for (uint32_t i = 0; i < frames; ++i) {
        const float t = static_cast<float>(i) / dral::AudioRate;
        const float fade = 1.0f - static_cast<float>(i) / static_cast<float>(frames);
        const auto value =
            static_cast<int16_t>(loudness * fade * 32767.0f * std::sin(6.2831853f * frequency * t));
        samples[i * 2] = samples[i * 2 + 1] = value;
    }
    return samples;
}

// A short tune of four notes, which loops seamlessly because each note fades to silence.
std::vector<int16_t> Tune() {
    std::vector<int16_t> tune;
    for (float note : {262.0f, 330.0f, 392.0f, 330.0f}) {
        const std::vector<int16_t> part = Tone(note, 0.4f, 0.3f);
        tune.insert(tune.end(), part.begin(), part.end());
    }
    return tune;
}

} // namespace

class SoundExample : public dral::Tesserine {
  public:
    SoundExample() { appName = "Sound"; }

    bool OnCreate() override {
        // Games load their sounds from files (WAV always; OGG and MP3 where the build decodes
        // them) or from a resource pack with LoadFromPack. This example makes its own and goes
        // through a WAV file to show the round trip; a load that fails leaves the sound empty,
        // and playing an empty sound simply does nothing.
        const float notes[3] = {440.0f, 660.0f, 880.0f};
        for (int i = 0; i < 3; ++i) {
            dral::SaveWavFile("blip.wav", Tone(notes[i], 0.25f, 0.5f));
            blips[i].LoadFromFile("blip.wav");
        }
        hum.SetSamples(Tone(110.0f, 0.5f, 0.2f));
        music.SetSamples(Tune());
        // The sound device opens with the first sound played, here the music.
        lastResult = GetAudio().PlayMusic(music);
        return true;
    }

    bool OnUpdate(float) override {
        dral::Audio& audio = GetAudio();
        // Pan follows the mouse: -1 at the left edge, 1 at the right.
        const float pan =
            2.0f * static_cast<float>(MouseX()) / static_cast<float>(ScreenWidth()) - 1.0f;
        const dral::Key keys[3] = {dral::Key::K1, dral::Key::K2, dral::Key::K3};
        for (int i = 0; i < 3; ++i)
            if (KeyState(keys[i]).pressed) lastResult = audio.Play(blips[i], 0.8f, pan);

        // A looping sound plays until stopped, so keep its handle.
        if (KeyState(dral::Key::L).pressed) audio.Play(hum, 1.0f, pan, true, &humVoice);
        if (KeyState(dral::Key::L).released) audio.Stop(humVoice);

        if (KeyState(dral::Key::M).pressed) {
            if (audio.GetMusicState() == dral::MusicState::Stopped)
                lastResult = audio.PlayMusic(music);
            else
                audio.StopMusic();
        }
        if (KeyState(dral::Key::P).pressed && audio.PauseMusic() != dral::Ok) audio.ResumeMusic();

        if (KeyState(dral::Key::Up).pressed) master = std::min(1.0f, master + 0.1f);
        if (KeyState(dral::Key::Down).pressed) master = std::max(0.0f, master - 0.1f);
        audio.SetMasterVolume(master);

        ShowState(audio, pan);
        return !KeyState(dral::Key::Escape).pressed;
    }

  private:
    void ShowState(dral::Audio& audio, float pan) {
        Clear(dral::VeryDarkGreen);
        DrawString(4, 4, "1 2 3: blips   L: hum   M: music   P: pause", dral::White);
        DrawString(4, 16, "Up/Down: master volume " + std::to_string(int(master * 100.0f + 0.5f)),
                   dral::White);
        static const char* states[] = {"stopped", "playing", "paused"};
        DrawString(4, 28, std::string("music ") + states[int(audio.GetMusicState())], dral::White);
        DrawString(4, 40, audio.IsPlaying(humVoice) ? "hum on" : "hum off", dral::White);
        // Without a sound device every play fails and the game goes on in silence.
        if (lastResult != dral::Ok || audio.Silent())
            DrawString(4, 52, "no sound device: running silent", dral::Red);
        const int32_t x =
            static_cast<int32_t>((pan + 1.0f) * 0.5f * static_cast<float>(ScreenWidth() - 1));
        DrawLine(x, ScreenHeight() - 20, x, ScreenHeight() - 4, dral::Yellow);
    }

    dral::Sound blips[3];
    dral::Sound hum;
    dral::Sound music;
    dral::Voice humVoice;
    dral::ResultCode lastResult = dral::Ok;
    float master = 1.0f;
};

int main(int argc, char** argv) {
    SoundExample app;
    if (app.Setup(320, 240, 2, 2) != dral::Ok) return 1;
    return dral::RunGame(app, argc, argv);
}
