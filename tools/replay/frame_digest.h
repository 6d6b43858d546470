// Frame digests of Crumbolt's record and replay programs: one 64-bit digest of the draw target
// per frame, written as a line "FRAME DIGEST" (decimal index, 16 hex digits), so that two runs
// compare with diff.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/sprite.h"

namespace crumbolt {

// 64-bit FNV-1a over the pixels' 32-bit RGBA values (r in the low byte) in four lanes, pixel i
// going to lane i mod 4, then FNV-1a over width, height and each lane's low and high halves:
// equal digests mean equal pictures for any practical purpose.
uint64_t FrameDigest(const dral::Sprite& frame);

// Writes digest lines to a file, or to standard output for the path "-".
class DigestLog {
  public:
    // An empty path writes nothing.
    explicit DigestLog(const std::string& path);
    ~DigestLog();
    DigestLog(const DigestLog&) = delete;
    DigestLog& operator=(const DigestLog&) = delete;

    // False when the file could not be created.
    bool Ok() const { return path.empty() || out != nullptr; }
    void Write(uint64_t frame, const dral::Sprite& picture);
    // Flushes and closes the log; false when any line could not be written (a full disk).
    bool Close();

  private:
    std::string path;
    std::FILE* out = nullptr;
    bool failed = false;
};

} // namespace crumbolt
