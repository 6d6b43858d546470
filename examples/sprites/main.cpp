// Example: sprites. Teaches how to load a sprite from an image file, and from a resource pack
// (many files in one, behind a key), then draw it with transparency, scaling, mirroring and as
// frames of an animation sheet. Run it from its build folder, where the build puts ship.png and
// sprites.pack. Escape quits.
#include <cstdio>
#include <memory>

#include "assets/resource_pack.h"
#include "runner/run_game.h"

namespace {
// The build packs assets/coin.png into this file with tesserine_add_pack (see CMakeLists.txt),
// scrambling its index with the key the build passes in as SPRITES_PACK_KEY.
constexpr const char* PackFile = "sprites.pack";
constexpr const char* PackKey = SPRITES_PACK_KEY;
} // namespace

class Sprites : public dral::Tesserine {
  public:
    Sprites() { appName = "Sprites"; }

    bool OnCreate() override {
        // From an image file: any format the platform's decoder reads (PNG here). The loaders
        // return a ResultCode; NoFile means the file is not there.
        ship = std::make_unique<dral::Sprite>();
        if (ship->LoadImageFile("ship.png", nullptr) != dral::Ok) {
            std::fprintf(stderr, "cannot load ship.png: run the example from its build folder\n");
            return false; // OnCreate false ends the application before its first frame
        }

        // From a resource pack: open it with its key, then name the stored file instead of a
        // path. The pack must stay alive while sprites are read from it.
        if (!pack.OpenPack(PackFile, PackKey)) {
            std::fprintf(stderr, "cannot open %s\n", PackFile);
            return false;
        }
        coins = std::make_unique<dral::Sprite>();
        if (coins->LoadImageFile("coin.png", &pack) != dral::Ok) {
            std::fprintf(stderr, "%s holds no coin.png\n", PackFile);
            return false;
        }
        return true;
    }

    bool OnUpdate(float elapsedSeconds) override {
        time += elapsedSeconds;
        Clear(dral::VeryDarkGreen);
        DrawString(4, 4, "ship.png from a file", dral::White);
        DrawString(4, 120, "coin.png from sprites.pack", dral::White);

        // Normal mode copies every pixel, transparent ones included; Mask skips pixels whose
        // alpha is not 255, so the ship's background stays out. Remember to switch back.
        DrawSprite(8, 20, ship.get());
        SetPixelMode(dral::Mask);
        DrawSprite(40, 20, ship.get(), 2);                             // twice the size
        DrawSprite(90, 20, ship.get(), 2, dral::SpriteFlip::Vertical); // upside down
        // Alpha blends by the pixel's alpha times the blend factor: at 0.5 the ship is
        // see-through. The factor stays until it is set again.
        SetPixelMode(dral::Alpha);
        SetBlendFactor(0.5f);
        DrawSprite(140, 20, ship.get(), 4);
        SetBlendFactor(1.0f);

        // An animation sheet: four 12 x 12 frames side by side; draw one region at a time.
        const int32_t frame = static_cast<int32_t>(time * 8.0f) % 4;
        SetPixelMode(dral::Mask);
        for (int32_t i = 0; i < 5; ++i)
            DrawSpriteRegion(8 + i * 40, 140, coins.get(), ((frame + i) % 4) * 12, 0, 12, 12, 3);
        SetPixelMode(dral::Normal);
        return !KeyState(dral::Key::Escape).pressed;
    }

  private:
    dral::ResourcePack pack;
    std::unique_ptr<dral::Sprite> ship;
    std::unique_ptr<dral::Sprite> coins;
    float time = 0.0f;
};

int main(int argc, char** argv) {
    Sprites app;
    if (app.Setup(320, 240, 2, 2) != dral::Ok) return 1;
    // The window, or with --frames N (as the tests start it) N frames without one: --help lists
    // the options.
    return dral::RunGame(app, argc, argv);
}
