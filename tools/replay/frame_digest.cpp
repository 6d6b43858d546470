// The per-frame digest and its line-by-line log.
#include "frame_digest.h"

#include <cinttypes>

namespace crumbolt {

namespace {
constexpr uint64_t FnvBasis = 14695981039346656037ull;
constexpr uint64_t FnvPrime = 1099511628211ull;

void Mix(uint64_t& h, uint32_t v) {
    h = (h ^ v) * FnvPrime;
}
} // namespace

// Four lanes take every fourth pixel, so that four multiplications are in flight at once instead
// of one long chain; the lanes are then folded, with the size, into one more FNV-1a run.
uint64_t FrameDigest(const dral::Sprite& frame) {
    const auto value = [&frame](int64_t i) {
        const dral::Pixel p = frame.pixels[i];
        return uint32_t{p.r} | uint32_t{p.g} << 8 | uint32_t{p.b} << 16 | uint32_t{p.a} << 24;
    };
    uint64_t a = FnvBasis, b = FnvBasis, c = FnvBasis, d = FnvBasis;
    const int64_t count = int64_t{frame.width} * frame.height;
    int64_t i = 0;
    for (; i + 4 <= count; i += 4) {
        Mix(a, value(i));
        Mix(b, value(i + 1));
        Mix(c, value(i + 2));
        Mix(d, value(i + 3));
    }
    uint64_t* lanes[4] = {&a, &b, &c, &d};
    for (; i < count; i++) Mix(*lanes[i % 4], value(i));
    uint64_t h = FnvBasis;
    Mix(h, static_cast<uint32_t>(frame.width));
    Mix(h, static_cast<uint32_t>(frame.height));
    for (const uint64_t lane : {a, b, c, d}) {
        Mix(h, static_cast<uint32_t>(lane));
        Mix(h, static_cast<uint32_t>(lane >> 32));
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
    Close();
}

void DigestLog::Write(uint64_t frame, const dral::Sprite& picture) {
    if (out && std::fprintf(out, "%" PRIu64 " %016" PRIx64 "\n", frame, FrameDigest(picture)) < 0)
        failed = true;
}

bool DigestLog::Close() {
    if (out == stdout) {
        failed |= std::fflush(out) != 0;
    } else if (out) {
        failed |= std::fclose(out) != 0;
    }
    out = nullptr;
    return !failed;
}

} // namespace crumbolt
