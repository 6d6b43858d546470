// Layers: creation, presentation parameters, draw-target selection, and the per-frame composition
// that draws them back to front, each followed by its queued decal draws.
#include "engine/tesserine.h"

namespace dral {

uint32_t Tesserine::CreateLayer() {
    // A 257th layer could not be selected: its index would wrap to another layer's.
    if (layers.size() >= MaxLayers) return NoLayer;
    Layer layer;
    const Vec2i size = screenSize.Load();
    // An image too large to allocate leaves the layer's sprite empty (see PrepareEngine).
    layer.sprite = new Sprite(size.x, size.y);
    layer.textureId =
        renderer->CreateTexture(static_cast<uint32_t>(size.x), static_cast<uint32_t>(size.y));
    // CreateTexture leaves the new texture bound, so the upload goes into it.
    renderer->UpdateTexture(layer.textureId, layer.sprite);
    layers.push_back(std::move(layer));
    return static_cast<uint32_t>(layers.size() - 1);
}

void Tesserine::EnableLayer(uint8_t layer, bool shown) {
    if (layer < layers.size()) layers[layer].shown = shown;
}

void Tesserine::SetLayerOffset(uint8_t layer, const Vec2f& offset) {
    SetLayerOffset(layer, offset.x, offset.y);
}

void Tesserine::SetLayerOffset(uint8_t layer, float x, float y) {
    if (layer < layers.size()) layers[layer].offset = {x, y};
}

void Tesserine::SetLayerScale(uint8_t layer, const Vec2f& scale) {
    SetLayerScale(layer, scale.x, scale.y);
}

void Tesserine::SetLayerScale(uint8_t layer, float x, float y) {
    if (layer < layers.size()) layers[layer].scale = {x, y};
}

void Tesserine::SetLayerTint(uint8_t layer, const Pixel& tint) {
    if (layer < layers.size()) layers[layer].tint = tint;
}

void Tesserine::SetLayerRenderHook(uint8_t layer, std::function<void()> hook) {
    if (layer < layers.size()) layers[layer].renderHook = std::move(hook);
}

void Tesserine::SetDrawTarget(uint8_t layer) {
    if (layer >= layers.size()) return;
    drawTarget = layers[layer].sprite;
    layers[layer].needsUpload = true;
    targetLayer = layer;
}

void Tesserine::SetDrawTarget(Sprite* target) {
    if (target) {
        drawTarget = target;
        return;
    }
    // Before the base layer exists there is nothing to select.
    if (layers.empty()) return;
    targetLayer = 0;
    drawTarget = layers[0].sprite;
}

void Tesserine::ComposeLayers() {
    renderer->SetViewport(viewPos.Load(), viewSize.Load());
    renderer->ClearBuffer(Black, true);
    if (!layers.empty()) {
        layers[0].needsUpload = true;
        layers[0].shown = true;
    }
    renderer->BeginDrawing();
    for (size_t i = layers.size(); i-- > 0;) {
        Layer& layer = layers[i];
        // Queued draws live for one frame only: a layer that does not draw them drops them, so a
        // queue can neither grow without end nor outlive the decals it points to. A hook sees its
        // layer's queue while it runs.
        if (!layer.shown) {
            layer.decalDraws.clear();
            continue;
        }
        if (layer.renderHook) {
            layer.renderHook();
            layer.decalDraws.clear();
            continue;
        }
        renderer->BindTexture(layer.textureId);
        if (layer.needsUpload) {
            renderer->UpdateTexture(layer.textureId, layer.sprite);
            layer.needsUpload = false;
        }
        renderer->DrawLayerQuad(layer.offset, layer.scale, layer.tint);
        for (const DecalDraw& draw : layer.decalDraws) renderer->DrawDecalQuad(draw);
        layer.decalDraws.clear();
    }
    renderer->PresentFrame();
}

} // namespace dral
