// Fuzzes Sound::LoadFromBytes, which reads WAV itself and hands OGG and MP3 to the decoder: a load
// either gives a whole number of 48 kHz stereo frames, or fails leaving the sound as it was.
#include <vector>

#include "engine/audio.h"
#include "fuzz_support.h"

using namespace dral;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<char> bytes(data, data + size);
    for (const char* name : {"fuzz.wav", "fuzz.mp3"}) {
        Sound sound;
        fuzz::Check(sound.SetSamples({1, 2}) == Ok, "samples set");
        const ResultCode result = sound.LoadFromBytes(bytes, name);
        if (result == Ok) {
            fuzz::Check(sound.Frames() > 0 && sound.Samples().size() == sound.Frames() * 2u,
                        "whole stereo frames");
        } else {
            fuzz::Check(result == Fail || result == NoFile, "failure is Fail or NoFile");
            fuzz::Check(sound.Samples() == std::vector<int16_t>{1, 2}, "unchanged on failure");
        }
    }
    return 0;
}
