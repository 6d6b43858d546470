// replay-crumbolt: replays a recording of Crumbolt headless and writes one digest line per frame
// (see frame_digest.h), to standard output or a file, and with --frames each composed frame as a
// PNG (frame-000000.png, ...) drawn by the software renderer; --every N keeps every Nth of them.
// With --audio the run's sound (the music, from crumbolt.mp3 in the working directory) is mixed
// by the engine as it would have sounded, frame by frame, and written as a 48 kHz stereo WAV file;
// the same recording always gives the same file. Without it the music stays silent. At the end it
// prints the number of frames and the score to standard error; a damaged, cut-short or strayed
// recording is reported there and gives exit status 1, a missing one (or bad usage) 2.
//
//   replay-crumbolt RECORDING [--digests FILE] [--frames DIR [--every N]] [--audio WAV]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "audio/headless/audio_headless.h"
#include "frame_digest.h"
#include "game/crumbolt.h"
#include "game/media_command.h"
#include "platform/headless/platform_headless.h"
#include "record/recorder.h"
#include "renderer/headless/renderer_headless.h"
#include "renderer/software/renderer_software.h"

namespace {

struct Options {
    const char* recording = nullptr;
    const char* digests = "-";
    const char* frames = nullptr;
    const char* audio = nullptr;
    uint64_t every = 1;
};

// The game with its sound taken frame by frame: after each frame, the samples of the time that
// frame stood for, counted from the start of the run so that rounding never drifts.
class AudibleCrumbolt : public crumbolt::Crumbolt {
  public:
    AudibleCrumbolt() {
        auto owned = std::make_unique<dral::AudioDevice_Headless>();
        device = owned.get();
        GetAudio().UseDevice(std::move(owned));
    }
    bool OnUpdate(float elapsedSeconds) override {
        seconds += elapsedSeconds;
        return Crumbolt::OnUpdate(elapsedSeconds);
    }
    void TakeSound() {
        const auto due = static_cast<uint64_t>(std::llround(seconds * dral::AudioRate));
        if (due <= taken) return;
        const std::vector<int16_t> more = device->Render(static_cast<uint32_t>(due - taken));
        sound.insert(sound.end(), more.begin(), more.end());
        taken = due;
    }

    std::vector<int16_t> sound;

  private:
    dral::AudioDevice_Headless* device = nullptr;
    double seconds = 0.0;
    uint64_t taken = 0;
};

bool Parse(int argc, char** argv, Options& o) {
    if (argc < 2) return false;
    o.recording = argv[1];
    for (int i = 2; i < argc; i += 2) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) return false;
        if (flag == "--digests")
            o.digests = argv[i + 1];
        else if (flag == "--frames")
            o.frames = argv[i + 1];
        else if (flag == "--audio")
            o.audio = argv[i + 1];
        else if (flag == "--every")
            o.every = std::strtoull(argv[i + 1], nullptr, 10);
        else
            return false;
    }
    return o.every > 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: replay-crumbolt RECORDING [--digests FILE] [--frames DIR [--every N]] "
                     "[--audio WAV]\n");
        return 2;
    }
    crumbolt::DigestLog digests(options.digests);
    if (!digests.Ok()) {
        std::fprintf(stderr, "replay-crumbolt: cannot write %s\n", options.digests);
        return 1;
    }
    if (!options.audio) crumbolt::SetMediaCommandSink([](const char*) {});
    AudibleCrumbolt game;
    // Only the software renderer has frames to save; the headless one composes nothing.
    std::unique_ptr<dral::Renderer> renderer;
    if (options.frames)
        renderer = std::make_unique<dral::Renderer_Software>();
    else
        renderer = std::make_unique<dral::Renderer_Headless>();
    game.UseBackends(std::make_unique<dral::Platform_Headless>(), std::move(renderer));
    game.Setup(800, 600, 1, 1, true, false);
    bool saved = true;
    uint64_t frames = 0;
    dral::Recorder recorder(game);
    const dral::ResultCode result = recorder.Replay(options.recording, [&](uint64_t frame) {
        digests.Write(frame, *game.GetDrawTarget());
        frames = frame + 1;
        if (options.audio) game.TakeSound();
        if (!options.frames || !saved || frame % options.every != 0) return;
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06llu.png",
                      static_cast<unsigned long long>(frame));
        saved = game.SaveFrame(options.frames + std::string(name)) == dral::Ok;
    });
    if (!saved)
        std::fprintf(stderr, "replay-crumbolt: cannot write frames into %s\n", options.frames);
    const bool logged = digests.Close();
    if (!logged) std::fprintf(stderr, "replay-crumbolt: cannot write %s\n", options.digests);
    if (options.audio && dral::SaveWavFile(options.audio, game.sound) != dral::Ok) {
        std::fprintf(stderr, "replay-crumbolt: cannot write %s\n", options.audio);
        saved = false;
    }
    if (result != dral::Ok) std::fprintf(stderr, "replay-crumbolt: %s\n", recorder.Error().c_str());
    std::fprintf(stderr, "frames %llu seed %u score %d player %g %g\n",
                 static_cast<unsigned long long>(frames), recorder.Seed(),
                 crumbolt::state.tickCount, static_cast<double>(crumbolt::state.playerX),
                 static_cast<double>(crumbolt::state.playerY));
    if (result != dral::Ok) return result == dral::NoFile ? 2 : 1;
    return saved && logged ? 0 : 1;
}
