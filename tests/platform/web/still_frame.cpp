// The browser test's still frame: a translucent base layer above a tinted, shifted background
// layer, and a small translucent image drawn as scaled, rotated, region and warped decals. The
// picture never changes, so the browser and the desktop can be compared frame for frame. Escape
// ends it.
#include "engine/tesserine.h"

namespace {

constexpr int32_t TileSize = 16;

class StillFrame : public dral::Tesserine {
  public:
    StillFrame() { appName = "Still frame"; }
    ~StillFrame() override {
        delete tileDecal;
        delete tile;
    }

    bool OnCreate() override {
        // A gradient tile with a transparent corner and a half-transparent band.
        tile = new dral::Sprite(TileSize, TileSize);
        for (int32_t y = 0; y < TileSize; ++y)
            for (int32_t x = 0; x < TileSize; ++x) {
                const auto r = static_cast<uint8_t>(x * 16);
                const auto g = static_cast<uint8_t>(y * 16);
                const uint8_t a = x + y < 6 ? 0 : (y >= 10 && y < 13 ? 128 : 255);
                tile->SetPixel(x, y, dral::Pixel(r, g, 200, a));
            }
        tileDecal = new dral::Decal(tile);

        // Layers are composed from the highest index up, so the base layer lies on top and the
        // new layer shows through wherever the base layer is transparent.
        background = static_cast<uint8_t>(CreateLayer());
        SetDrawTarget(background);
        Clear(dral::DarkBlue);
        for (int32_t x = 0; x < ScreenWidth(); x += 32)
            DrawLine(x, 0, x, ScreenHeight(), dral::Grey);
        FillCircle(200, 190, 30, dral::Red);
        DrawString(8, 228, "background layer", dral::White);
        EnableLayer(background, true);
        SetLayerTint(background, dral::Pixel(255, 200, 120, 255));
        SetLayerOffset(background, 0.0625f, 0.0f);
        SetDrawTarget(nullptr);
        return true;
    }

    bool OnUpdate(float) override {
        Clear(dral::Transparent);
        for (int32_t i = 0; i < 6; ++i)
            FillRect(20 + i * 36, 150, 24, 30, dral::Pixel(0, 200, 0, 160));
        DrawTriangle(10, 230, 60, 160, 110, 230, dral::Green);
        DrawString(8, 100, "base layer", dral::Yellow);

        DrawDecal({8.0f, 8.0f}, tileDecal, {3.0f, 3.0f});
        DrawDecalRotated({120.0f, 40.0f}, tileDecal, 0.6f, {8.0f, 8.0f}, {3.0f, 3.0f},
                         dral::Pixel(255, 255, 255, 180));
        DrawDecalRegion({170.0f, 10.0f}, tileDecal, {4.0f, 4.0f}, {8.0f, 8.0f}, {4.0f, 4.0f},
                        dral::Pixel(120, 255, 120, 255));
        const std::array<dral::Vec2f, 4> corners{
            dral::Vec2f{70.0f, 80.0f}, dral::Vec2f{20.0f, 140.0f}, dral::Vec2f{230.0f, 140.0f},
            dral::Vec2f{180.0f, 80.0f}};
        DrawDecalWarped(tileDecal, corners);
        DrawStringDecals({150.0f, 120.0f}, "decals", dral::Yellow, {2.0f, 2.0f});
        return !KeyState(dral::Key::Escape).pressed;
    }

  private:
    dral::Sprite* tile = nullptr;
    dral::Decal* tileDecal = nullptr;
    uint8_t background = 0;
};

} // namespace

int main() {
    StillFrame app;
    if (app.Setup(256, 240, 2, 2) == dral::Ok) app.Run();
    return 0;
}
