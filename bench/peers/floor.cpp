// The floor's out-of-line stores and blends, and the overriding engine's Draw.
#include "bench/peers/floor.h"

namespace dral::bench {

namespace {

uint8_t Mix(uint8_t source, uint8_t destination, float k, float c) {
    return static_cast<uint8_t>(static_cast<int32_t>(float(source) * k + float(destination) * c));
}

bool BlendInto(Sprite& target, int32_t x, int32_t y, Pixel p) {
    if (!target.Contains(x, y)) return false;
    Pixel& d = target.pixels[size_t(y) * size_t(target.width) + size_t(x)];
    const float k = float(p.a) / 255.0f, c = 1.0f - k;
    d = Pixel(Mix(p.r, d.r, k, c), Mix(p.g, d.g, k, c), Mix(p.b, d.b, k, c), 255);
    return true;
}

} // namespace

bool FloorSink::Put(int32_t x, int32_t y, Pixel p) {
    return target.SetPixel(x, y, p);
}

bool BlendingSink::Put(int32_t x, int32_t y, Pixel p) {
    return BlendInto(target, x, y, p);
}

void FloorReplay(FloorSink& sink, const std::vector<PlotRecord>& plots) {
    for (const PlotRecord& r : plots) sink.Put(r.x, r.y, r.p);
}

template <bool Blends> bool OverridingEngine<Blends>::Draw(int32_t x, int32_t y, Pixel p) {
    Sprite* target = GetDrawTarget();
    if (!target) return false;
    if constexpr (Blends)
        return BlendInto(*target, x, y, p);
    else
        return target->SetPixel(x, y, p);
}

template class OverridingEngine<false>;
template class OverridingEngine<true>;

} // namespace dral::bench
