// The per-frame digest and its line-by-line log.
#include "frame_digest.h"

#include <cinttypes>

namespace crumbolt {

uint64_t FrameDigest(const dral::Sprite& frame) {
    uint64_t h = 14695981039346656037ull;
    const auto mix = [&h](uint32_t v) { h = (h ^ v) * 1099511628211ull; };
    mix(static_cast<uint32_t>(frame.width));
    mix(static_cast<uint32_t>(frame.height));
    const int64_t count = int64_t{frame.width} * frame.height;
    for (int64_t i = 0; i < count; i++) {
        const dral::Pixel p = frame.pixels[i];
        mix(uint32_t{p.r} | uint32_t{p.g} << 8 | uint32_t{p.b} << 16 | uint32_t{p.a} << 24);
    }
    return h;
}

DigestLog::DigestLog(const std::string& where) : path(where) {
    if (path == "-")
        out = stdout;
    else if (!path.empty())
        out = std::fopen(path.c_str(), "w");
}

DigestLog::~DigestLog() {
    if (out && out != stdout) std::fclose(out);
}

void DigestLog::Write(uint64_t frame, const dral::Sprite& picture) {
    if (out) std::fprintf(out, "%" PRIu64 " %016" PRIx64 "\n", frame, FrameDigest(picture));
}

} // namespace crumbolt
