// The application the end-to-end tests drive on the real back-end pair: it fills its screen with
// one colour and reports on stdout what the engine makes of the window system's events.
// Usage: sdl_probe [--fullscreen] [--refuse N] [--slow-update SECONDS]
// (OnDestroy refuses the first N close requests; the 30th OnUpdate takes SECONDS to return)
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "engine/tesserine.h"

namespace {

const dral::Pixel Fill{0, 160, 255, 255};

class Probe : public dral::Tesserine {
  public:
    Probe(int refusals, int slowSeconds) : refusalsLeft(refusals), slowUpdate(slowSeconds) {
        appName = "Probe";
    }

    bool OnCreate() override {
        Report("driver %s", SDL_GetCurrentVideoDriver());
        // Straight into the base layer's image, which is uploaded every frame: the test needs
        // only the platform, the layers and the renderer.
        dral::Sprite* target = GetDrawTarget();
        std::fill_n(target->pixels, target->width * target->height, Fill);
        return true;
    }

    bool OnUpdate(float) override {
        if (++updates == 30 && slowUpdate > 0) {
            Report("slow update");
            std::this_thread::sleep_for(std::chrono::seconds(slowUpdate));
            Report("slow update done");
        }
        ReportGeometry();
        ReportKey();
        ReportMouse();
        return true;
    }

    bool OnDestroy() override {
        Report("destroy %d", ++destroyCalls);
        if (refusalsLeft == 0) return true;
        --refusalsLeft;
        Report("refused");
        return false;
    }

  private:
    template <class... Args> static void Report(const char* format, Args... args) {
        std::printf(format, args...);
        std::printf("\n");
        std::fflush(stdout);
    }

    void ReportGeometry() {
        const dral::Vec2i window = GetWindowSize(), pos = GetViewPos(), size = GetViewSize();
        if (window == lastWindow && pos == lastViewPos) return;
        lastWindow = window;
        lastViewPos = pos;
        Report("window %d %d view %d %d %d %d", window.x, window.y, pos.x, pos.y, size.x, size.y);
    }

    void ReportKey() {
        const dral::ButtonState space = KeyState(dral::Key::Space);
        if (space.pressed) Report("key Space pressed");
        if (space.held && !space.pressed && !heldReported) Report("key Space held");
        heldReported = space.held && !space.pressed;
        if (space.released) Report("key Space released");
    }

    void ReportMouse() {
        const dral::Vec2i pos{MouseX(), MouseY()};
        if (pos == lastMouse) return;
        lastMouse = pos;
        Report("mouse %d %d", pos.x, pos.y);
    }

    int refusalsLeft;
    int slowUpdate;
    int updates = 0;
    int destroyCalls = 0;
    bool heldReported = false;
    dral::Vec2i lastWindow, lastViewPos, lastMouse{-1, -1};
};

} // namespace

int main(int argc, char** argv) {
    bool fullScreen = false;
    int refusals = 0, slowSeconds = 0;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--fullscreen") == 0) fullScreen = true;
        if (std::strcmp(argv[i], "--refuse") == 0 && i + 1 < argc) refusals = std::atoi(argv[++i]);
        if (std::strcmp(argv[i], "--slow-update") == 0 && i + 1 < argc)
            slowSeconds = std::atoi(argv[++i]);
    }
    Probe probe(refusals, slowSeconds);
    if (probe.Setup(200, 150, 2, 2, fullScreen, false) != dral::Ok) return 1;
    return probe.Run() == dral::Ok ? 0 : 1;
}
