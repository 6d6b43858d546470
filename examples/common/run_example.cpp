// The examples' start-up: the desktop window, or a bounded run on the headless back-ends that
// stops the application by itself, the way a closed window would, after a given number of frames,
// with a headless sound device that takes one 60th of a second of sound per frame.
#include "run_example.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "audio/headless/audio_headless.h"
#include "platform/headless/platform_headless.h"
#include "renderer/headless/renderer_headless.h"

namespace examples {
namespace {

// A headless platform that asks the engine to stop once `limit` frames have begun. The engine
// calls HandleSystemEvent at the start of every frame, on the engine thread.
class FrameLimitPlatform : public dral::Platform_Headless {
  public:
    FrameLimitPlatform(long frameLimit, dral::AudioDevice_Headless* sound)
        : limit(frameLimit), device(sound) {}

    dral::ResultCode HandleSystemEvent() override {
        if (++frames == limit) engine->RequestStop();
        device->Render(dral::AudioRate / 60);
        return dral::Fail;
    }

    long Frames() const { return frames; }

  private:
    const long limit;
    dral::AudioDevice_Headless* device;
    long frames = 0; // touched by the engine thread only, read after Run has joined it
};

// The N of "--frames N", or 0 when the option is absent or not a positive number.
long FrameLimit(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0) {
            const long n = std::strtol(argv[i + 1], nullptr, 10);
            return n > 0 ? n : 0;
        }
    }
    return 0;
}

} // namespace

int RunExample(dral::Tesserine& app, int argc, char** argv, int32_t width, int32_t height,
               int32_t pixelSize) {
    const long limit = FrameLimit(argc, argv);
    FrameLimitPlatform* counter = nullptr;
    if (limit > 0) {
        auto sound = std::make_unique<dral::AudioDevice_Headless>();
        auto headless = std::make_unique<FrameLimitPlatform>(limit, sound.get());
        app.GetAudio().UseDevice(std::move(sound));
        counter = headless.get(); // the engine owns it from here until the process ends
        app.UseBackends(std::move(headless), std::make_unique<dral::Renderer_Headless>());
    }
    if (app.Setup(width, height, pixelSize, pixelSize) != dral::Ok || app.Run() != dral::Ok) {
        std::fprintf(stderr, "could not start the example\n");
        return 1;
    }
    if (counter && counter->Frames() < limit) {
        std::fprintf(stderr, "the example ended after %ld of %ld frames\n", counter->Frames(),
                     limit);
        return 1;
    }
    return 0;
}

} // namespace examples
