// The bench's bar chart: one bar per ratio on a doubling scale around 1, green where the goal is
// met and red where it is not, drawn with the engine's own software drawing and saved as a PNG.
#pragma once

#include <string>
#include <vector>

namespace dral::bench {

struct ChartRow {
    std::string label;
    double ratio; // time of the engine over time of what it is compared with
    double goal;  // the ratio must not exceed it
};

// False when the file cannot be written.
bool WriteChart(const std::string& path, const std::vector<ChartRow>& rows);

} // namespace dral::bench
