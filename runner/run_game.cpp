// RunGame: reads the common command-line options and runs the game on the back-ends they ask
// for. Bounded and headless runs use a headless platform that counts the frames and stops the
// game itself, the way a closed window would; a screenshot is taken as the engine thread ends,
// while the software renderer still holds the last frame.
// Needs: the headless pair, the software renderer and headless sound device, record/.
#include "runner/run_game.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "audio/headless/audio_headless.h"
#include "platform/headless/platform_headless.h"
#include "record/recorder.h"
#include "renderer/headless/renderer_headless.h"
#include "renderer/software/renderer_software.h"

namespace dral {

namespace {

constexpr const char* Options =
    "options:\n"
    "  --frames N         run N frames without a display, then stop\n"
    "  --headless         run without a display until the game ends\n"
    "  --screenshot FILE  run on the software renderer without a display and save the last\n"
    "                     frame as a PNG file (with --frames N: the Nth)\n"
    "  --record FILE      record the run into FILE\n"
    "  --replay FILE      replay the recording in FILE without a display\n"
    "  --help             print these options\n";

struct Request {
    long frames = 0; // 0: no bound
    bool headless = false;
    std::string screenshot, record, replay;
};

// The headless platform of bounded runs and screenshots. The engine calls HandleSystemEvent at
// the start of every frame and CleanUpThread at the end, both on the engine thread; the results
// are read after the engine thread has ended.
class RunnerPlatform : public Platform_Headless {
  public:
    RunnerPlatform(long frameLimit, std::string screenshotFile, AudioDevice_Headless* sound)
        : limit(frameLimit), screenshot(std::move(screenshotFile)), device(sound) {}

    // Each frame also takes a 60th of a second of the game's sound, as a device would.
    ResultCode HandleSystemEvent() override {
        if (++frames == limit) engine->RequestStop();
        device->Render(AudioRate / 60);
        return Fail;
    }
    ResultCode CleanUpThread() override {
        if (!screenshot.empty()) saved = engine->SaveFrame(screenshot) == Ok;
        return Platform_Headless::CleanUpThread();
    }

    long frames = 0;
    bool saved = false;

  private:
    const long limit;
    const std::string screenshot;
    AudioDevice_Headless* device;
};

// A positive whole number of frames, or nothing.
std::optional<long> FrameCount(const char* text) {
    long n = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, n);
    if (error != std::errc() || stop != end || n <= 0) return std::nullopt;
    return n;
}

// Reads the options into request; false, with the reason printed, for one not understood.
bool Parse(int argc, char** argv, Request& request) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--headless") {
            request.headless = true;
            continue;
        }
        std::string* file = option == "--screenshot" ? &request.screenshot
                            : option == "--record"   ? &request.record
                            : option == "--replay"   ? &request.replay
                                                     : nullptr;
        if (!file && option != "--frames") {
            std::fprintf(stderr, "unknown option %s\n", option.c_str());
            return false;
        }
        if (i + 1 == argc || argv[i + 1][0] == '\0') {
            std::fprintf(stderr, "%s needs a value\n", option.c_str());
            return false;
        }
        const char* value = argv[++i];
        if (file) {
            *file = value;
        } else if (const auto n = FrameCount(value)) {
            request.frames = *n;
        } else {
            std::fprintf(stderr, "--frames needs a positive whole number, not %s\n", value);
            return false;
        }
    }
    if (!request.replay.empty() && (!request.record.empty() || request.frames > 0)) {
        std::fprintf(stderr,
                     "--replay runs the recorded frames: it takes no --record or --frames\n");
        return false;
    }
    return true;
}

// Runs the recording named by request on the headless platform.
int Replay(Tesserine& game, const Request& request, RunnerPlatform& runner) {
    Recorder recorder(game);
    const ResultCode result = recorder.Replay(request.replay);
    if (result != Ok) {
        std::fprintf(stderr, "cannot replay %s: %s\n", request.replay.c_str(),
                     result == NoFile ? "no such file" : recorder.Error().c_str());
        return 1;
    }
    if (!request.screenshot.empty() && !runner.saved) {
        std::fprintf(stderr, "cannot save the screenshot %s\n", request.screenshot.c_str());
        return 1;
    }
    return 0;
}

// Runs the game with the request's bound, screenshot and recording.
int Play(Tesserine& game, const Request& request, const RunnerPlatform* runner) {
    Recorder recorder(game);
    if (!request.record.empty()) {
        const auto seed = static_cast<uint32_t>(std::time(nullptr));
        if (recorder.Record(request.record, seed) != Ok) {
            std::fprintf(stderr, "cannot record: %s\n", recorder.Error().c_str());
            return 1;
        }
    }
    if (game.Run() != Ok) {
        std::fprintf(stderr, "the game could not start\n");
        return 1;
    }
    int code = 0;
    if (!recorder.Error().empty()) {
        std::fprintf(stderr, "the recording failed: %s\n", recorder.Error().c_str());
        code = 1;
    }
    if (runner && runner->frames < request.frames) {
        std::fprintf(stderr, "the game ended after %ld of %ld frames\n", runner->frames,
                     request.frames);
        code = 1;
    }
    if (runner && !request.screenshot.empty() && !runner->saved) {
        std::fprintf(stderr, "cannot save the screenshot %s\n", request.screenshot.c_str());
        code = 1;
    }
    return code;
}

} // namespace

int RunGame(Tesserine& game, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("usage: %s [options]\n%s", argv[0], Options);
            return 0;
        }
    }
    Request request;
    if (!Parse(argc, argv, request)) {
        std::fprintf(stderr, "usage: %s [options]\n%s", argc > 0 ? argv[0] : "game", Options);
        return 2;
    }
    const bool offscreen = request.headless || request.frames > 0 || !request.screenshot.empty() ||
                           !request.replay.empty();
    if (!offscreen) return Play(game, request, nullptr);

    auto sound = std::make_unique<AudioDevice_Headless>();
    auto owned = std::make_unique<RunnerPlatform>(request.frames, request.screenshot, sound.get());
    game.GetAudio().UseDevice(std::move(sound));
    RunnerPlatform& runner = *owned; // the engine owns it from here until the process ends
    std::unique_ptr<Renderer> output;
    if (request.screenshot.empty())
        output = std::make_unique<Renderer_Headless>();
    else
        output = std::make_unique<Renderer_Software>();
    game.UseBackends(std::move(owned), std::move(output));
    return request.replay.empty() ? Play(game, request, &runner) : Replay(game, request, runner);
}

} // namespace dral
