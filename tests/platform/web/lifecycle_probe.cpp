// Runs in the browser build: the engine's lifecycle on the page's animation frames. OnUpdate asks
// to stop at frame 3, OnDestroy refuses once, OnUpdate asks again at frame 6 and OnDestroy lets the
// run end. With "#close" in the URL the run never stops by itself and ends when the page closes.
// Prints "lifecycle: ..." lines that the browser test reads from the page's console.
#include <emscripten/emscripten.h>

#include <cstdio>

#include "engine/tesserine.h"

namespace {

class Probe : public dral::Tesserine {
  public:
    Probe() { appName = "Lifecycle"; }

    bool OnCreate() override {
        untilClosed = EM_ASM_INT({ return location.hash == '#close' ? 1 : 0; }) != 0;
        std::printf("lifecycle: created\n");
        return true;
    }

    bool OnUpdate(float) override {
        ++frames;
        if (untilClosed) {
            if (frames == 3) std::printf("lifecycle: running\n");
            return true;
        }
        return frames != 3 && frames != 6;
    }

    bool OnDestroy() override {
        ++destroys;
        if (untilClosed) {
            std::printf("lifecycle: closed after %d frames\n", frames >= 3 ? 3 : frames);
            return true;
        }
        if (destroys == 1) return false;
        std::printf("lifecycle: ended frames=%d destroys=%d\n", frames, destroys);
        return true;
    }

  private:
    bool untilClosed = false;
    int frames = 0;
    int destroys = 0;
};

} // namespace

int main() {
    static Probe probe;
    if (probe.Setup(64, 48, 2, 2) != dral::Ok || probe.Run() != dral::Ok)
        std::printf("lifecycle: the run failed\n");
    return 0;
}
