// The picture both frame programs show: an 800 x 600 screen like the game's, drawn once with the
// engine's software drawing, and the frame count and timing both report in the same way.
#pragma once

#include <chrono>
#include <cstdio>

#include "engine/tesserine.h"

namespace dral::bench {

constexpr int32_t ScreenWidth = 800, ScreenHeight = 600;
constexpr int WarmUpFrames = 60;

inline void DrawPicture(Tesserine& e) {
    e.Clear(Black);
    for (int32_t i = 0; i < 24; ++i)
        e.DrawRect((i * 97) % 760, (i * 53) % 560, 20 + i * 3, 15 + i * 2, White);
    e.DrawRect(390, 500, 20, 20, Blue);
    e.DrawString(8, 8, "Score: 1234", Green);
}

// Counts frames after a warm-up and prints the rate once the wanted number has been shown.
class FrameClock {
  public:
    explicit FrameClock(int frames) : wanted(frames) {}
    // False once enough frames have been timed.
    bool Tick() {
        if (++shown == WarmUpFrames) start = std::chrono::steady_clock::now();
        if (shown < WarmUpFrames + wanted) return true;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%.1f\n", double(wanted) / seconds);
        return false;
    }

  private:
    int wanted, shown = 0;
    std::chrono::steady_clock::time_point start;
};

} // namespace dral::bench
