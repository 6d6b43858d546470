// Runs thirty frames on the default back-ends of dral::tesserine_headless, which needs no display
// and brings no image decoder, and reports what it saw.
#include <tesserine/engine/tesserine.h>

#include <cstdio>

class Counter : public dral::Tesserine {
  public:
    bool OnCreate() override { return true; }
    bool OnUpdate(float) override {
        Clear(dral::Black);
        Draw(frames % ScreenWidth(), 0, dral::White);
        return ++frames < 30;
    }
    int frames = 0;
};

int main() {
    Counter app;
    if (app.Setup(64, 48, 1, 1) != dral::Ok || app.Run() != dral::Ok) return 1;
    dral::Sprite image;
    const bool noDecoder = image.LoadImageFile("any.png", nullptr) == dral::NoFile;
    std::printf("headless consumer ran %d frames, %s\n", app.frames,
                noDecoder ? "no image decoder" : "an image decoder");
    return app.frames == 30 && noDecoder ? 0 : 1;
}
