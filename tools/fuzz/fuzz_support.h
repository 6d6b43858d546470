// Shared pieces of the libFuzzer targets: a per-process scratch file for the input, a pack
// wrapped around the input's bytes, and a check that aborts so libFuzzer records the input.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace dral::fuzz {

inline void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// A file name private to this process, in memory-backed storage when there is some.
inline std::string ScratchFile(const std::string& tag) {
    const std::filesystem::path shm("/dev/shm");
    const std::filesystem::path dir =
        std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
    return (dir / ("tesserine-fuzz-" + std::to_string(::getpid()) + "-" + tag)).string();
}

inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

inline void AppendU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift));
}

// An unscrambled pack whose entries (given in name order) all hold the same bytes.
inline std::string PackAround(const std::vector<std::string>& names, const uint8_t* data,
                              size_t size) {
    uint32_t indexLength = 4;
    for (const std::string& name : names) indexLength += uint32_t(12 + name.size());
    std::string pack;
    AppendU32(pack, indexLength);
    AppendU32(pack, uint32_t(names.size()));
    for (const std::string& name : names) {
        AppendU32(pack, uint32_t(name.size()));
        pack += name;
        AppendU32(pack, uint32_t(size));
        AppendU32(pack, 4 + indexLength);
    }
    pack.append(reinterpret_cast<const char*>(data), size);
    return pack;
}

} // namespace dral::fuzz
