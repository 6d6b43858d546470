// Test support: random scenes of layers and decals, described as plain data so that the same
// scene can be composed on two renderers in turn (the back-ends are process-wide, so two engines
// cannot live side by side), and engines that compose on the software renderer.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "engine/tesserine.h"
#include "platform/headless/platform_headless.h"
#include "renderer/software/renderer_software.h"
#include "support/paint.h"

namespace dral::testing {

// 32-bit draws as uint32_t, so that no conversion narrows them.
struct Random {
    explicit Random(uint32_t seed) : engine(seed) {}
    uint32_t operator()() { return uint32_t(engine()); }
    using result_type = uint32_t;
    static constexpr uint32_t min() { return 0; }
    static constexpr uint32_t max() { return 0xFFFFFFFFu; }
    std::mt19937 engine;
};

enum class DecalForm { Plain, Region, Rotated, RegionRotated, Warped, RegionWarped, Text };

struct SceneDecal {
    DecalForm form = DecalForm::Plain;
    uint8_t layer = 0;
    size_t image = 0;
    Vec2f pos, scale{1, 1}, center, sourcePos, sourceSize{1, 1};
    float angle = 0;
    std::array<Vec2f, 4> corners{};
    Pixel tint = White;
};

struct SceneLayer {
    Vec2f offset, scale{1, 1};
    Pixel tint = White;
    uint32_t paintSeed = 0;
};

struct Scene {
    std::vector<SceneLayer> layers; // [0] is the base layer
    std::vector<Vec2i> imageSizes;  // decal sprites, painted from the image's index
    std::vector<SceneDecal> decals; // queued in this order
};

// Random but reproducible pixels, some of them translucent or fully transparent.
inline void PaintNoise(Sprite& sprite, uint32_t seed) {
    Random rng(seed);
    for (int32_t i = 0; i < sprite.width * sprite.height; ++i) {
        const uint32_t v = rng();
        const uint32_t kind = (v >> 24) % 8;
        const uint8_t alpha = kind < 4 ? 255 : kind < 6 ? uint8_t(v >> 16) : kind == 6 ? 0 : 128;
        sprite.pixels[i] = Pixel(uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 13), alpha);
    }
}

// Scenes whose every quad is axis-aligned and samples texels away from their boundaries:
// whole-pixel positions, whole magnifications, whole-texel layer offsets.
inline Scene AlignedScene(uint32_t seed, Vec2i screen) {
    Random rng(seed);
    auto pick = [&](int32_t lo, int32_t hi) { return int32_t(rng() % uint32_t(hi - lo + 1)) + lo; };
    auto colour = [&] {
        return Pixel(uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), uint8_t(rng()));
    };
    Scene s;
    const int32_t layerCount = pick(1, 3);
    for (int32_t i = 0; i < layerCount; ++i) {
        SceneLayer l;
        l.offset = {float(pick(-screen.x, screen.x)) / float(screen.x),
                    float(pick(-screen.y, screen.y)) / float(screen.y)};
        const float scales[] = {1.0f, 0.5f, 0.25f};
        l.scale = {scales[pick(0, 2)], scales[pick(0, 2)]};
        l.tint = pick(0, 1) ? White : colour();
        l.paintSeed = rng();
        s.layers.push_back(l);
    }
    for (int32_t i = 0; i < 3; ++i) s.imageSizes.push_back({pick(1, 40), pick(1, 40)});
    s.imageSizes.push_back({16, 8}); // a power-of-two image wraps by masking
    for (int32_t i = 0; i < 24; ++i) {
        SceneDecal d;
        d.layer = uint8_t(pick(0, layerCount - 1));
        d.image = size_t(pick(0, int32_t(s.imageSizes.size()) - 1));
        const Vec2i size = s.imageSizes[d.image];
        d.pos = {float(pick(-20, screen.x)), float(pick(-20, screen.y))};
        d.scale = {float(pick(1, 3)), float(pick(1, 3))};
        d.tint = pick(0, 2) ? White : colour();
        switch (pick(0, 3)) {
        case 0:
            d.form = DecalForm::Plain;
            break;
        case 1:
            d.form = DecalForm::Region;
            d.sourcePos = {float(pick(-size.x, size.x)), float(pick(-size.y, size.y))};
            d.sourceSize = {float(pick(1, 2 * size.x)), float(pick(1, 2 * size.y))};
            break;
        case 2: {
            // An axis-aligned rectangle given as corners: the same picture as a plain draw.
            d.form = DecalForm::Warped;
            const Vec2f e{d.pos.x + float(size.x) * d.scale.x, d.pos.y + float(size.y) * d.scale.y};
            d.corners = {d.pos, Vec2f{d.pos.x, e.y}, e, Vec2f{e.x, d.pos.y}};
            break;
        }
        default:
            d.form = DecalForm::Text;
            break;
        }
        s.decals.push_back(d);
    }
    return s;
}

// Scenes with everything: fractional offsets and scales, rotations and warps.
inline Scene FreeScene(uint32_t seed, Vec2i screen) {
    Random rng(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto real = [&](float lo, float hi) { return lo + (hi - lo) * unit(rng); };
    auto colour = [&] {
        return Pixel(uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), uint8_t(rng()));
    };
    Scene s;
    const int32_t layerCount = int32_t(rng() % 3) + 1;
    for (int32_t i = 0; i < layerCount; ++i) {
        SceneLayer l;
        l.offset = {real(-1, 1), real(-1, 1)};
        l.scale = {real(0.3f, 2.5f), real(0.3f, 2.5f)};
        l.tint = colour();
        l.paintSeed = rng();
        s.layers.push_back(l);
    }
    for (int32_t i = 0; i < 4; ++i)
        s.imageSizes.push_back({int32_t(rng() % 40) + 1, int32_t(rng() % 40) + 1});
    for (int32_t i = 0; i < 24; ++i) {
        SceneDecal d;
        d.layer = uint8_t(rng() % uint32_t(layerCount));
        d.image = rng() % s.imageSizes.size();
        const Vec2i size = s.imageSizes[d.image];
        d.pos = {real(-20, float(screen.x)), real(-20, float(screen.y))};
        d.scale = {real(0.3f, 3.0f), real(0.3f, 3.0f)};
        d.tint = colour();
        d.angle = real(-4, 4);
        d.center = {real(0, float(size.x)), real(0, float(size.y))};
        d.sourcePos = {real(-float(size.x), float(size.x)), real(-float(size.y), float(size.y))};
        d.sourceSize = {real(1, 2 * float(size.x)), real(1, 2 * float(size.y))};
        // A rectangle with its corners moved by up to a third of its sides: a convex quad, as a
        // picture seen in perspective is.
        const Vec2f extent{float(size.x) * d.scale.x * 2, float(size.y) * d.scale.y * 2};
        const Vec2f corner[4] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
        for (size_t k = 0; k < 4; ++k)
            d.corners[k] = {d.pos.x + extent.x * (corner[k].x + real(-0.33f, 0.33f)),
                            d.pos.y + extent.y * (corner[k].y + real(-0.33f, 0.33f))};
        d.form = DecalForm(rng() % 7);
        s.decals.push_back(d);
    }
    return s;
}

// Builds the scene on a prepared engine: layers, images and decals, and queues the draws. The
// returned objects must live until the frame has been composed.
struct SceneObjects {
    std::vector<std::unique_ptr<Sprite>> sprites;
    std::vector<std::unique_ptr<Decal>> decals;
};

template <class Engine> SceneObjects BuildScene(Engine& e, const Scene& s) {
    SceneObjects o;
    for (size_t i = 0; i < s.layers.size(); ++i) {
        if (i > 0) e.CreateLayer();
        const uint8_t index = uint8_t(i);
        const SceneLayer& l = s.layers[i];
        e.EnableLayer(index, true);
        e.SetLayerOffset(index, l.offset);
        e.SetLayerScale(index, l.scale);
        e.SetLayerTint(index, l.tint);
        e.SetDrawTarget(index);
        PaintNoise(*e.GetDrawTarget(), l.paintSeed);
    }
    for (size_t i = 0; i < s.imageSizes.size(); ++i) {
        o.sprites.push_back(std::make_unique<Sprite>(s.imageSizes[i].x, s.imageSizes[i].y));
        PaintNoise(*o.sprites.back(), uint32_t(1000 + i));
        o.decals.push_back(std::make_unique<Decal>(o.sprites.back().get()));
    }
    for (const SceneDecal& d : s.decals) {
        e.SetDrawTarget(d.layer);
        Decal* decal = o.decals[d.image].get();
        switch (d.form) {
        case DecalForm::Plain:
            e.DrawDecal(d.pos, decal, d.scale, d.tint);
            break;
        case DecalForm::Region:
            e.DrawDecalRegion(d.pos, decal, d.sourcePos, d.sourceSize, d.scale, d.tint);
            break;
        case DecalForm::Rotated:
            e.DrawDecalRotated(d.pos, decal, d.angle, d.center, d.scale, d.tint);
            break;
        case DecalForm::RegionRotated:
            e.DrawDecalRegionRotated(d.pos, decal, d.angle, d.center, d.sourcePos, d.sourceSize,
                                     d.scale, d.tint);
            break;
        case DecalForm::Warped:
            e.DrawDecalWarped(decal, d.corners, d.tint);
            break;
        case DecalForm::RegionWarped:
            e.DrawDecalRegionWarped(decal, d.corners, d.sourcePos, d.sourceSize, d.tint);
            break;
        case DecalForm::Text:
            e.DrawStringDecals(d.pos, "Ab1\n#~", d.tint, d.scale);
            break;
        }
    }
    e.SetDrawTarget(uint8_t{0});
    return o;
}

// An engine on the headless platform that composes on the software renderer, prepared on the
// calling thread; its window is its screen, one pixel per screen pixel.
class SoftwareEngine : public Tesserine {
  public:
    SoftwareEngine(int32_t width, int32_t height) {
        auto r = std::make_unique<Renderer_Software>();
        software = r.get();
        UseBackends(std::make_unique<Platform_Headless>(), std::move(r));
        Setup(width, height, 1, 1, false, false);
        UpdateWindowSize(width, height);
        prepared = PrepareEngine() == Ok;
    }
    bool OnUpdate(float) override { return true; }

    Renderer_Software* software = nullptr;
    bool prepared = false;
};

} // namespace dral::testing
