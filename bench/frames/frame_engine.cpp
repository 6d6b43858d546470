// Frames of the engine: the picture shown full screen through the engine's own window, layers and
// OpenGL renderer, without vertical sync; prints the frame rate.   frame_engine [FRAMES]
#include <cstdlib>

#include "bench/frames/picture.h"

namespace {

class Frames : public dral::Tesserine {
  public:
    explicit Frames(int frames) : clock(frames) { appName = "frame_engine"; }
    bool OnCreate() override {
        dral::bench::DrawPicture(*this);
        return true;
    }
    // The picture stays in the draw target; the base layer is uploaded every frame regardless.
    bool OnUpdate(float) override { return clock.Tick(); }

  private:
    dral::bench::FrameClock clock;
};

} // namespace

int main(int argc, char** argv) {
    Frames app(argc > 1 ? std::max(1, std::atoi(argv[1])) : 600);
    if (app.Setup(dral::bench::ScreenWidth, dral::bench::ScreenHeight, 1, 1, true, false) !=
        dral::Ok)
        return 1;
    return app.Run() == dral::Ok ? 0 : 1;
}
