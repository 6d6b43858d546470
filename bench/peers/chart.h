// The bench's bar chart: one bar per time ratio on a doubling scale around 1, green where the goal
// is met and red where it is not, with the instruction ratio as a thin blue bar beneath, drawn
// with the engine's own software drawing and saved as a PNG.
#pragma once

#include <string>
#include <vector>

namespace dral::bench {

struct ChartRow {
    std::string label;
    double ratio;        // time of the engine over time of what it is compared with
    double instructions; // the same for instructions executed; 0 when not counted
    double goal;         // the ratio must not exceed it
};

// Writes the chart, noting the load per core it was measured under. False when the file cannot
// be written.
bool WriteChart(const std::string& path, const std::vector<ChartRow>& rows, double load);

} // namespace dral::bench
