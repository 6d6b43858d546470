// Test support for the drawing tests: an engine that records every pixel handed to Draw, in
// order and whether or not it lands on the target, so tests can check exact plotted sets.
#pragma once

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "support/headless_engine.h"

namespace dral::testing {

using Plot = std::pair<int32_t, int32_t>; // (x, y)

class Recorder : public Tesserine {
  public:
    using Tesserine::Draw;
    bool Draw(int32_t x, int32_t y, Pixel p) override {
        plots.emplace_back(x, y);
        return Tesserine::Draw(x, y, p);
    }
    std::vector<Plot> Take() { return std::exchange(plots, {}); }
    float BlendFactor() const { return blendFactor; }
    Sprite* FontSheet() const { return fontSprite.get(); }

    std::vector<Plot> plots;
};

// A prepared 64 x 48 engine drawing into its base layer, cleared to black.
class DrawingEngine : public HeadlessEngine<Recorder> {
  public:
    explicit DrawingEngine(int32_t width = 64, int32_t height = 48)
        : HeadlessEngine<Recorder>(width, height) {
        Prepare();
        Clear(Black);
    }
};

inline std::vector<Plot> Sorted(std::vector<Plot> v) {
    std::sort(v.begin(), v.end());
    return v;
}

inline std::map<Plot, int> CountPlots(const std::vector<Plot>& plots) {
    std::map<Plot, int> counts;
    for (const Plot& p : plots) counts[p]++;
    return counts;
}

} // namespace dral::testing
