// Example: layers. Teaches how to stack drawing layers and move them on the GPU without redrawing
// their pixels: a scrolling background (offset), a zooming grid (scale), a pulsing tint, and a
// render hook that takes over how one layer is drawn. Escape quits.
//
// Every layer is a screen-sized sprite with a texture. Layer 0, the base layer, is what the
// drawing functions write into unless SetDrawTarget picks another; the engine composes the shown
// layers from the highest index down to 0, each over the ones before, so layer 0 ends up on top.
#include <cmath>
#include <string>

#include "runner/run_game.h"

class Layers : public dral::Tesserine {
  public:
    Layers() { appName = "Layers"; }

    bool OnCreate() override {
        // Layers are created on the engine thread, here or in OnUpdate. Each starts hidden.
        // The last one created lies furthest back.
        shadowed = static_cast<uint8_t>(CreateLayer());
        grid = static_cast<uint8_t>(CreateLayer());
        sky = static_cast<uint8_t>(CreateLayer());

        // Layer pixels are drawn once; from then on only the GPU parameters change.
        SetDrawTarget(sky);
        DrawSky();
        SetDrawTarget(grid);
        DrawGrid();
        SetDrawTarget(shadowed);
        Clear(dral::Transparent);
        FillCircle(ScreenWidth() / 2, ScreenHeight() / 2, 50, dral::Yellow);
        DrawString(ScreenWidth() / 2 - 44, ScreenHeight() / 2 - 4, "render hook", dral::Black);
        SetDrawTarget(nullptr); // back to the base layer

        for (uint8_t layer : {sky, grid, shadowed}) EnableLayer(layer, true);

        // A render hook replaces the engine's drawing of its layer. It runs on the engine thread
        // during composition and may call the renderer directly: this one draws the layer twice,
        // first as a dark shadow a little down and right, then normally.
        SetLayerRenderHook(shadowed, [this] { DrawWithShadow(shadowed); });
        return true;
    }

    bool OnUpdate(float elapsedSeconds) override {
        time += elapsedSeconds;

        // Offset is in texture coordinates: 1.0 is one whole screen, and the picture wraps.
        SetLayerOffset(sky, time * 0.05f, 0.0f);
        // Scale below 1 shows less of the texture, so the grid zooms in; above 1 it repeats.
        const float zoom = 0.75f + 0.25f * std::sin(time);
        SetLayerScale(grid, zoom, zoom);
        // The tint multiplies every texel: here the grid's alpha pulses.
        const auto alpha = static_cast<uint8_t>(128.0f + 127.0f * std::sin(time * 2.0f));
        SetLayerTint(grid, dral::Pixel(255, 255, 255, alpha));

        // The base layer is redrawn every frame; clearing to Transparent lets the layers below
        // show through.
        Clear(dral::Transparent);
        DrawString(4, 4, "Layers: offset, scale, tint, hook", dral::White);
        DrawString(4, 14, "time " + std::to_string(static_cast<int>(time)) + " s", dral::White);
        return !KeyState(dral::Key::Escape).pressed;
    }

  private:
    void DrawSky() {
        for (int32_t y = 0; y < ScreenHeight(); ++y) {
            const auto shade = static_cast<uint8_t>(y * 160 / ScreenHeight());
            DrawLine(0, y, ScreenWidth() - 1, y, dral::Pixel(0, shade, 96, 255));
        }
        // A few hills, so that the scrolling shows.
        for (int32_t x = 0; x < ScreenWidth(); x += 40)
            FillTriangle(x, ScreenHeight(), x + 20, ScreenHeight() - 50, x + 40, ScreenHeight(),
                         dral::DarkGreen);
    }

    void DrawGrid() {
        Clear(dral::Transparent);
        for (int32_t x = 0; x < ScreenWidth(); x += 16)
            DrawLine(x, 0, x, ScreenHeight() - 1, dral::Cyan);
        for (int32_t y = 0; y < ScreenHeight(); y += 16)
            DrawLine(0, y, ScreenWidth() - 1, y, dral::Cyan);
    }

    void DrawWithShadow(uint8_t index) {
        dral::Layer& layer = GetLayers()[index];
        dral::renderer->BindTexture(layer.textureId);
        // The hook owns the upload too: a layer that was drawn into since the last frame has
        // needsUpload set.
        if (layer.needsUpload) {
            dral::renderer->UpdateTexture(layer.textureId, layer.sprite);
            layer.needsUpload = false;
        }
        const dral::Vec2f shadowOffset{-4.0f / static_cast<float>(ScreenWidth()),
                                       -4.0f / static_cast<float>(ScreenHeight())};
        dral::renderer->DrawLayerQuad(shadowOffset, layer.scale, dral::Pixel(0, 0, 0, 128));
        dral::renderer->DrawLayerQuad(layer.offset, layer.scale, layer.tint);
    }

    uint8_t sky = 0, grid = 0, shadowed = 0;
    float time = 0.0f;
};

int main(int argc, char** argv) {
    Layers app;
    if (app.Setup(320, 240, 2, 2) != dral::Ok) return 1;
    // The window, or with --frames N (as the tests start it) N frames without one: --help lists
    // the options.
    return dral::RunGame(app, argc, argv);
}
