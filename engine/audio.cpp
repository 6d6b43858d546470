// The engine's sound operations: the device is opened on the first play, every change to the
// voices is made with the device's pulls held off, and a missing or lost device turns the engine
// silent instead of failing the game.
#include "engine/audio.h"

#include <algorithm>

namespace dral {

namespace {

float Clamped(float value, float low, float high) {
    return std::clamp(value, low, high);
}

// Holds off a device's pulls for one change of the mixer; nothing when no device is open.
class PullGuard {
  public:
    explicit PullGuard(AudioDevice* held) : device(held) {
        if (device) device->Lock();
    }
    ~PullGuard() {
        if (device) device->Unlock();
    }
    PullGuard(const PullGuard&) = delete;
    PullGuard& operator=(const PullGuard&) = delete;

  private:
    AudioDevice* device;
};

} // namespace

Audio::Audio() = default;

Audio::~Audio() {
    if (opened) device->Close();
}

void Audio::UseDevice(std::unique_ptr<AudioDevice> newDevice) {
    if (opened) device->Close();
    device = std::move(newDevice);
    chosen = true;
    opened = false;
    silent = false;
    mixer.StopAll();
    mixer.StopMusic();
}

bool Audio::EnsureDevice() {
    NoticeLoss();
    if (silent) return false;
    if (opened) return true;
    if (!chosen) device = CreateDefaultAudioDevice();
    chosen = true;
    if (!device || device->Open([this](int16_t* samples, uint32_t frames) {
            mixer.Mix(samples, frames);
        }) != Ok) {
        GoSilent();
        return false;
    }
    opened = true;
    return true;
}

void Audio::NoticeLoss() {
    if (opened && device->Lost()) GoSilent();
}

void Audio::GoSilent() {
    if (opened) device->Close();
    opened = false;
    silent = true;
    mixer.StopAll();
    mixer.StopMusic();
}

ResultCode Audio::Play(const Sound& sound, float volume, float pan, bool loop, Voice* voice) {
    if (voice) *voice = Voice{};
    if (!sound.Loaded() || !EnsureDevice()) return Fail;
    PullGuard guard(Pulling());
    const uint32_t serial =
        mixer.Start(sound.samples, Clamped(volume, 0.0f, 1.0f), Clamped(pan, -1.0f, 1.0f), loop);
    if (serial == 0) return Fail;
    if (voice) voice->serial = serial;
    return Ok;
}

ResultCode Audio::Stop(Voice voice) {
    NoticeLoss();
    PullGuard guard(Pulling());
    return mixer.Stop(voice.serial) ? Ok : Fail;
}

ResultCode Audio::SetVolume(Voice voice, float volume) {
    NoticeLoss();
    PullGuard guard(Pulling());
    return mixer.SetVolume(voice.serial, Clamped(volume, 0.0f, 1.0f)) ? Ok : Fail;
}

bool Audio::IsPlaying(Voice voice) {
    NoticeLoss();
    PullGuard guard(Pulling());
    return mixer.IsPlaying(voice.serial);
}

void Audio::StopAll() {
    PullGuard guard(Pulling());
    mixer.StopAll();
}

ResultCode Audio::PlayMusic(const Sound& music, bool loop) {
    if (!music.Loaded() || !EnsureDevice()) return Fail;
    PullGuard guard(Pulling());
    mixer.StartMusic(music.samples, loop);
    return Ok;
}

ResultCode Audio::PauseMusic() {
    NoticeLoss();
    PullGuard guard(Pulling());
    return mixer.HoldMusic(true) ? Ok : Fail;
}

ResultCode Audio::ResumeMusic() {
    NoticeLoss();
    PullGuard guard(Pulling());
    return mixer.HoldMusic(false) ? Ok : Fail;
}

void Audio::StopMusic() {
    PullGuard guard(Pulling());
    mixer.StopMusic();
}

void Audio::SetMusicVolume(float volume) {
    PullGuard guard(Pulling());
    mixer.SetMusicVolume(Clamped(volume, 0.0f, 1.0f));
}

MusicState Audio::GetMusicState() {
    NoticeLoss();
    PullGuard guard(Pulling());
    if (!mixer.MusicActive()) return MusicState::Stopped;
    return mixer.MusicPaused() ? MusicState::Paused : MusicState::Playing;
}

void Audio::SetMasterVolume(float volume) {
    PullGuard guard(Pulling());
    mixer.SetMasterVolume(Clamped(volume, 0.0f, 1.0f));
}

} // namespace dral
