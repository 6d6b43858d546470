// Draws the ratio chart into a headless engine's target and writes it out as a PNG.
#include "bench/peers/chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "bench/peers/floor.h"
#include "engine/png_writer.h"

namespace dral::bench {

namespace {

class Canvas : public Tesserine {
  public:
    bool OnUpdate(float) override { return true; }
};

constexpr int32_t Width = 1000, LabelWidth = 440, RowHeight = 20, Top = 34;
constexpr double MinLog = -5, MaxLog = 2; // 1/32 .. 4

int32_t Position(double ratio) {
    const double l = std::clamp(std::log2(std::max(ratio, 1e-9)), MinLog, MaxLog);
    return LabelWidth + int32_t((l - MinLog) / (MaxLog - MinLog) * (Width - LabelWidth - 110));
}

} // namespace

bool WriteChart(const std::string& path, const std::vector<ChartRow>& rows, double load) {
    const int32_t height = Top + int32_t(rows.size()) * RowHeight + 30;
    auto canvas = MakeEngine<Canvas>(Width, height);
    Canvas& c = *canvas;
    c.Clear(Pixel(24, 24, 32, 255));
    char title[160];
    std::snprintf(title, sizeof title,
                  "time / time of the peer (lower is better), instructions in blue; goal: yellow "
                  "mark. Load %.2f per core",
                  load);
    c.DrawString(8, 8, title, White);
    const int32_t one = Position(1.0), bottom = Top + int32_t(rows.size()) * RowHeight;
    for (double tick : {1.0 / 32, 1.0 / 8, 0.5, 1.0, 2.0, 4.0}) {
        const int32_t x = Position(tick);
        c.DrawLine(x, Top - 4, x, bottom, tick == 1.0 ? Grey : DarkGrey,
                   tick == 1.0 ? ~0u : 0xF0F0F0F0u);
        const std::string label =
            tick < 1 ? "1/" + std::to_string(int(1 / tick)) : std::to_string(int(tick));
        c.DrawString(x - 4 * int32_t(label.size()), bottom + 8, label, LightGrey);
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const ChartRow& row = rows[i];
        const int32_t y = Top + int32_t(i) * RowHeight;
        c.DrawString(8, y + 6, row.label.substr(0, 54), White);
        const int32_t end = Position(row.ratio);
        const Pixel colour =
            row.ratio <= row.goal ? Pixel(60, 190, 90, 255) : Pixel(220, 70, 60, 255);
        c.FillRect(std::min(one, end), y + 3, std::abs(end - one) + 1, RowHeight - 10, colour);
        if (row.instructions > 0) {
            const int32_t counted = Position(row.instructions);
            c.FillRect(std::min(one, counted), y + RowHeight - 6, std::abs(counted - one) + 1, 3,
                       Pixel(90, 140, 230, 255));
        }
        c.FillRect(Position(row.goal) - 1, y + 2, 3, RowHeight - 4, Yellow);
        char value[32];
        if (row.instructions > 0)
            std::snprintf(value, sizeof value, "%.2f (%.2f)", row.ratio, row.instructions);
        else
            std::snprintf(value, sizeof value, "%.2f", row.ratio);
        c.DrawString(std::max({one, end, Position(row.goal)}) + 6, y + 6, value, White);
    }
    const Sprite* picture = c.GetDrawTarget();
    return WritePng(path, Width, height, reinterpret_cast<const uint8_t*>(picture->pixels));
}

} // namespace dral::bench
