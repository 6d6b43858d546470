// Opens a window on the default desktop pair, decodes a BMP through the default image decoder,
// shows it for thirty frames and ends itself.
#include <tesserine/engine/tesserine.h>

#include <cstdio>
#include <fstream>

namespace {

// A 2 x 1 24-bit BMP: one red pixel, then one green (rows are stored blue, green, red).
const unsigned char TwoPixelBmp[] = {
    'B', 'M', 62,  0, 0,   0, 0, 0, 0, 0, 54, 0, 0, 0,                    // file header
    40,  0,   0,   0, 2,   0, 0, 0, 1, 0, 0,  0, 1, 0, 24, 0, 0, 0, 0, 0, // info header
    8,   0,   0,   0, 0,   0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0,
    0,   0,   255, 0, 255, 0, 0, 0}; // pixels, row padded to 8

} // namespace

class Shower : public dral::Tesserine {
  public:
    bool OnCreate() override {
        std::ofstream("consumer.bmp", std::ios::binary)
            .write(reinterpret_cast<const char*>(TwoPixelBmp), sizeof TwoPixelBmp);
        decoded = image.LoadImageFile("consumer.bmp", nullptr) == dral::Ok && image.width == 2 &&
                  image.GetPixel(0, 0) == dral::Pixel(255, 0, 0, 255) &&
                  image.GetPixel(1, 0) == dral::Pixel(0, 255, 0, 255);
        return true;
    }
    bool OnUpdate(float) override {
        Clear(dral::DarkBlue);
        DrawSprite(4, 4, &image, 8);
        return ++frames < 30;
    }
    dral::Sprite image;
    bool decoded = false;
    int frames = 0;
};

int main() {
    Shower app;
    if (app.Setup(64, 48, 2, 2) != dral::Ok || app.Run() != dral::Ok) return 1;
    std::printf("desktop consumer ran %d frames, image %s\n", app.frames,
                app.decoded ? "decoded" : "NOT decoded");
    return app.frames == 30 && app.decoded ? 0 : 1;
}
