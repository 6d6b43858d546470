// Example: decals. Teaches how to turn a sprite into a decal, a GPU texture drawn as a quad at
// fractional positions, and the three ways to draw one: plain (scaled and tinted), rotated about
// a centre, and warped onto any four corners with correct perspective. Escape quits.
//
// Software drawing (DrawSprite, FillRect, ...) writes pixels into the draw target on the CPU;
// decals skip that and are drawn by the renderer right after their layer, so they are cheap to
// scale and rotate every frame.
#include <array>
#include <cmath>
#include <memory>

#include "runner/run_game.h"

class Decals : public dral::Tesserine {
  public:
    Decals() { appName = "Decals"; }

    bool OnCreate() override {
        // Draw a small picture into a sprite of our own: a framed checkerboard with an arrow.
        tile = std::make_unique<dral::Sprite>(32, 32);
        SetDrawTarget(tile.get());
        for (int32_t y = 0; y < 32; y += 8)
            for (int32_t x = 0; x < 32; x += 8)
                FillRect(x, y, 8, 8, (x + y) % 16 == 0 ? dral::DarkCyan : dral::VeryDarkCyan);
        DrawRect(0, 0, 31, 31, dral::White);
        FillTriangle(16, 4, 8, 14, 24, 14, dral::Yellow);
        FillRect(13, 14, 6, 12, dral::Yellow);
        SetDrawTarget(nullptr);

        // A decal needs the graphics device, so make it on the engine thread (OnCreate or
        // OnUpdate). It owns its texture but not the sprite, which must outlive it.
        decal = std::make_unique<dral::Decal>(tile.get());
        return true;
    }

    bool OnUpdate(float elapsedSeconds) override {
        time += elapsedSeconds;
        Clear(dral::VeryDarkBlue);
        DrawString(4, 4, "plain", dral::White);
        DrawString(100, 4, "rotated", dral::White);
        DrawString(200, 4, "warped", dral::White);

        // Plain: top-left corner in engine pixels (fractions are fine), a scale and a tint.
        DrawDecal({20.0f, 40.0f}, decal.get(), {2.0f, 2.0f});
        DrawDecal({20.0f, 130.0f}, decal.get(), {2.0f, 2.0f}, dral::Pixel(255, 128, 128, 255));

        // Rotated: angle in radians, clockwise on screen, about `center`, given in the
        // sprite's own pixels. The decal's centre (16, 16) lands on pos.
        DrawDecalRotated({130.0f, 80.0f}, decal.get(), time, {16.0f, 16.0f}, {2.0f, 2.0f});

        // Warped: the four corners of the sprite (top-left, bottom-left, bottom-right,
        // top-right) go to any four points. A trapezoid looks like a tile lying on a floor.
        const float sway = 20.0f * std::sin(time);
        const std::array<dral::Vec2f, 4> corners{
            {{230.0f + sway, 60.0f}, {190.0f, 200.0f}, {310.0f, 200.0f}, {270.0f + sway, 60.0f}}};
        DrawDecalWarped(decal.get(), corners);

        // Text can be drawn as decals too, with the built-in font, at any scale.
        DrawStringDecals({4.0f, 220.0f}, "DrawStringDecals", dral::Yellow, {1.5f, 1.5f});
        return !KeyState(dral::Key::Escape).pressed;
    }

    // Textures belong to the graphics device, which goes away after OnDestroy: release the decal
    // here, on the engine thread, rather than in the destructor.
    bool OnDestroy() override {
        decal.reset();
        return true;
    }

  private:
    std::unique_ptr<dral::Sprite> tile;
    std::unique_ptr<dral::Decal> decal;
    float time = 0.0f;
};

int main(int argc, char** argv) {
    Decals app;
    if (app.Setup(320, 240, 2, 2) != dral::Ok) return 1;
    // The window, or with --frames N (as the tests start it) N frames without one: --help lists
    // the options.
    return dral::RunGame(app, argc, argv);
}
