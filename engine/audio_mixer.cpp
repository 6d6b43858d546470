// Mixing of the effect and music voices into 16-bit stereo: integer gains, a 32-bit sum per
// sample, clipping at the end.
#include "engine/audio_mixer.h"

#include <algorithm>
#include <cmath>

namespace dral {

namespace {

int32_t FixedGain(float factor) {
    return static_cast<int32_t>(std::lround(factor * 65536.0f));
}

} // namespace

uint32_t Mixer::Start(Samples samples, float volume, float pan, bool loop) {
    Channel* channel = FreeOrOldest();
    if (!channel) return 0;
    Begin(*channel, std::move(samples), volume, pan, loop);
    channel->serial = nextSerial++;
    if (nextSerial == 0) nextSerial = 1;
    return channel->serial;
}

bool Mixer::Stop(uint32_t serial) {
    Channel* channel = Find(serial);
    if (!channel) return false;
    channel->active = false;
    channel->owner.reset();
    return true;
}

bool Mixer::SetVolume(uint32_t serial, float volume) {
    Channel* channel = Find(serial);
    if (!channel) return false;
    channel->volume = volume;
    Rescale(*channel);
    return true;
}

bool Mixer::IsPlaying(uint32_t serial) const {
    return IndexOf(serial) < VoiceLimit;
}

void Mixer::StopAll() {
    for (uint32_t i = 0; i < VoiceLimit; ++i) {
        channels[i].active = false;
        channels[i].owner.reset();
    }
}

void Mixer::StartMusic(Samples samples, bool loop) {
    Begin(music(), std::move(samples), music().volume, 0.0f, loop);
}

bool Mixer::HoldMusic(bool hold) {
    if (!music().active || music().paused == hold) return false;
    music().paused = hold;
    return true;
}

void Mixer::StopMusic() {
    music().active = false;
    music().owner.reset();
}

void Mixer::SetMusicVolume(float volume) {
    music().volume = volume;
    Rescale(music());
}

void Mixer::SetMasterVolume(float volume) {
    masterVolume = volume;
    for (Channel& channel : channels) Rescale(channel);
}

uint32_t Mixer::IndexOf(uint32_t serial) const {
    uint32_t i = 0;
    while (i < VoiceLimit && !(serial != 0 && channels[i].active && channels[i].serial == serial))
        ++i;
    return i;
}

Mixer::Channel* Mixer::Find(uint32_t serial) {
    const uint32_t i = IndexOf(serial);
    return i < VoiceLimit ? &channels[i] : nullptr;
}

Mixer::Channel* Mixer::FreeOrOldest() {
    Channel* oldest = nullptr;
    for (uint32_t i = 0; i < VoiceLimit; ++i) {
        Channel& channel = channels[i];
        if (!channel.active) return &channel;
        if (!channel.loop && (!oldest || channel.startOrder < oldest->startOrder))
            oldest = &channel;
    }
    return oldest;
}

void Mixer::Begin(Channel& channel, Samples samples, float volume, float pan, bool loop) {
    channel.samples = samples->data();
    channel.frames = static_cast<uint32_t>(samples->size() / 2);
    channel.owner = std::move(samples);
    channel.position = 0;
    channel.volume = volume;
    channel.pan = pan;
    channel.loop = loop;
    channel.paused = false;
    channel.startOrder = nextStartOrder++;
    channel.active = channel.frames > 0;
    Rescale(channel);
}

// Balance panning: the far side fades linearly while the near side stays at full volume, so a
// centred sound plays unchanged on both sides.
void Mixer::Rescale(Channel& channel) const {
    const float level = channel.volume * masterVolume;
    channel.gainLeft = FixedGain(level * std::min(1.0f, 1.0f - channel.pan));
    channel.gainRight = FixedGain(level * std::min(1.0f, 1.0f + channel.pan));
}

void Mixer::Accumulate(Channel& channel, uint32_t frames) {
    int32_t* sum = accumulator.data();
    uint32_t done = 0;
    while (done < frames && channel.active) {
        const uint32_t run = std::min(frames - done, channel.frames - channel.position);
        const int16_t* in = channel.samples + channel.position * 2;
        for (uint32_t i = 0; i < run; ++i) {
            sum[(done + i) * 2] += (in[i * 2] * channel.gainLeft) >> 16;
            sum[(done + i) * 2 + 1] += (in[i * 2 + 1] * channel.gainRight) >> 16;
        }
        done += run;
        channel.position += run;
        if (channel.position < channel.frames) break;
        channel.position = 0;
        // The samples stay owned until the engine thread reuses the voice: no freeing here.
        if (!channel.loop) channel.active = false;
    }
}

void Mixer::Mix(int16_t* out, uint32_t frames) {
    while (frames > 0) {
        const uint32_t chunk = std::min(frames, ChunkFrames);
        std::fill_n(accumulator.begin(), chunk * 2, 0);
        for (Channel& channel : channels)
            if (channel.active && !channel.paused) Accumulate(channel, chunk);
        for (uint32_t i = 0; i < chunk * 2; ++i)
            out[i] = static_cast<int16_t>(std::clamp(accumulator[i], -32768, 32767));
        out += chunk * 2;
        frames -= chunk;
    }
}

} // namespace dral
