// Resource packs: building, writing and opening pack files, and reading their stored files.
// Layout: u32 index length N, N bytes of scrambled index, then the stored files in name order.
// The index: u32 count, then per entry u32 name length, the name, u32 size, u32 offset.
#include "assets/resource_pack.h"

#include <cstddef>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <system_error>

namespace dral {
namespace {

constexpr uint64_t maxPackBytes = std::numeric_limits<uint32_t>::max();
constexpr uint64_t recordFixedBytes = 12; // name length, size and offset

// Whether one array of this many bytes can exist: a 32-bit program holds less than the 4 GiB
// that a pack's sizes can name, and asking for more would throw.
bool Addressable(uint64_t bytes) {
    return bytes <= uint64_t(std::numeric_limits<std::ptrdiff_t>::max());
}

void AppendU32(std::vector<char>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift));
}

// Walks the unscrambled index; every read is checked against its end.
class IndexReader {
  public:
    explicit IndexReader(const std::vector<char>& index) : data(index) {}

    size_t Remaining() const { return data.size() - position; }

    bool U32(uint32_t& value) {
        if (Remaining() < 4) return false;
        value = 0;
        for (int i = 0; i < 4; ++i)
            value |= uint32_t(static_cast<unsigned char>(data[position++])) << (8 * i);
        return true;
    }

    bool Bytes(uint32_t count, std::string& out) {
        if (Remaining() < count) return false;
        out.assign(data.data() + position, count);
        position += count;
        return true;
    }

  private:
    const std::vector<char>& data;
    size_t position = 0;
};

// Reads the index of a pack of `fileSize` bytes. Any record that runs past the index or names
// bytes beyond the end of the file rejects the whole pack.
bool ReadIndex(std::ifstream& in, uint64_t fileSize, const std::string& key,
               std::map<std::string, PackEntry>& out) {
    unsigned char prefix[4];
    if (fileSize < 4 || !in.read(reinterpret_cast<char*>(prefix), 4)) return false;
    const uint32_t length = uint32_t(prefix[0]) | uint32_t(prefix[1]) << 8 |
                            uint32_t(prefix[2]) << 16 | uint32_t(prefix[3]) << 24;
    if (length > fileSize - 4 || !Addressable(length)) return false;
    std::vector<char> raw(length);
    if (!in.read(raw.data(), std::streamsize(length))) return false;

    const std::vector<char> index = ResourcePack::ScrambleBytes(raw, key);
    IndexReader reader(index);
    uint32_t count = 0;
    if (!reader.U32(count) || count > reader.Remaining() / recordFixedBytes) return false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t nameLength = 0;
        std::string name;
        PackEntry entry;
        if (!reader.U32(nameLength) || !reader.Bytes(nameLength, name) || !reader.U32(entry.size) ||
            !reader.U32(entry.offset))
            return false;
        if (uint64_t(entry.offset) + entry.size > fileSize) return false;
        out[name] = entry;
    }
    return true;
}

// Gives each entry its offset in a pack written in name order. False when some byte of that pack
// would lie beyond what a 32-bit offset can address.
bool AssignOffsets(std::map<std::string, PackEntry>& layout) {
    uint64_t position = 8; // index length and entry count
    for (const auto& [name, entry] : layout) position += recordFixedBytes + name.size();
    for (auto& [name, entry] : layout) {
        if (position > maxPackBytes) return false;
        entry.offset = uint32_t(position);
        position += entry.size;
    }
    return position <= maxPackBytes;
}

std::vector<char> BuildIndex(const std::map<std::string, PackEntry>& layout) {
    std::vector<char> index;
    AppendU32(index, uint32_t(layout.size()));
    for (const auto& [name, entry] : layout) {
        AppendU32(index, uint32_t(name.size()));
        index.insert(index.end(), name.begin(), name.end());
        AppendU32(index, entry.size);
        AppendU32(index, entry.offset);
    }
    return index;
}

// Streams exactly `size` bytes of a file into the pack; false when the file has fewer.
bool CopyFileBytes(const std::string& name, uint32_t size, std::ofstream& out) {
    std::ifstream in(name, std::ios::binary);
    if (!in.is_open()) return false;
    std::vector<char> chunk(std::min<size_t>(size, size_t(1) << 16));
    for (uint64_t remaining = size; remaining > 0;) {
        const std::streamsize want = std::streamsize(std::min<uint64_t>(remaining, chunk.size()));
        if (!in.read(chunk.data(), want)) return false;
        out.write(chunk.data(), want);
        remaining -= uint64_t(want);
    }
    return out.good();
}

bool WritePackFile(const std::filesystem::path& path, const std::vector<char>& index,
                   const std::map<std::string, PackEntry>& layout) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return false;
    std::vector<char> length;
    AppendU32(length, uint32_t(index.size()));
    out.write(length.data(), std::streamsize(length.size()));
    out.write(index.data(), std::streamsize(index.size()));
    for (const auto& [name, entry] : layout)
        if (!CopyFileBytes(name, entry.size, out)) return false;
    out.close();
    return !out.fail();
}

// The file a pack path finally names: symbolic links are followed, relative ones from their own
// folder, so that writing replaces the link's target and leaves the link in place. A loop of
// links, or a chain too long to follow, leaves the path as it is.
std::filesystem::path FinalTarget(const std::filesystem::path& path) {
    std::filesystem::path current = path;
    std::error_code error;
    for (int hops = 0; hops < 40; ++hops) {
        if (!std::filesystem::is_symlink(current, error)) return current;
        const std::filesystem::path next = std::filesystem::read_symlink(current, error);
        if (error) return current;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return path;
}

// A name in the target's folder that no file has yet, so that writing the temporary copy never
// touches a file of the user's.
std::filesystem::path UnusedSibling(const std::filesystem::path& target) {
    std::random_device seed;
    std::error_code error;
    for (;;) {
        std::filesystem::path candidate = target;
        candidate += ".tmp-" + std::to_string(seed()) + "-" + std::to_string(seed());
        if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, error)))
            return candidate;
    }
}

} // namespace

ResourceBuffer::ResourceBuffer(std::ifstream& stream, uint32_t offset, uint32_t size) {
    if (!Addressable(size)) {
        complete = false;
        return;
    }
    bytes.assign(size, 0);
    // A read that ran short earlier must not make this seek fail too.
    stream.clear();
    if (size > 0)
        complete = stream.seekg(std::streamoff(offset)) && stream.read(bytes.data(), size);
    SetGetArea(0);
}

ResourceBuffer::ResourceBuffer(ResourceBuffer&& other) noexcept {
    *this = std::move(other);
}

ResourceBuffer& ResourceBuffer::operator=(ResourceBuffer&& other) noexcept {
    if (this == &other) return *this;
    const std::ptrdiff_t position = other.gptr() - other.eback();
    bytes = std::move(other.bytes);
    complete = other.complete;
    other.bytes.clear();
    other.complete = true;
    SetGetArea(position);
    other.SetGetArea(0);
    return *this;
}

void ResourceBuffer::SetGetArea(std::ptrdiff_t position) {
    char* begin = bytes.data();
    setg(begin, begin + position, begin + bytes.size());
}

bool ResourcePack::IncludeFile(const std::string& name) {
    const std::string path = NormalisePath(name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > std::numeric_limits<uint32_t>::max()) return false;
    if (!std::ifstream(path, std::ios::binary).is_open()) return false;
    entries[path] = PackEntry{uint32_t(size), 0};
    return true;
}

bool ResourcePack::OpenPack(const std::string& file, const std::string& key) {
    // Offsets already in the index refer to the open file: switching files would break them.
    if (packFile.is_open()) return false;
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) return false;
    const std::streamoff fileSize = in.seekg(0, std::ios::end).tellg();
    in.seekg(0);
    std::map<std::string, PackEntry> found;
    if (fileSize < 0 || !ReadIndex(in, uint64_t(fileSize), key, found)) return false;
    for (const auto& [name, entry] : found) entries[name] = entry;
    packFile = std::move(in);
    return true;
}

bool ResourcePack::WritePack(const std::string& file, const std::string& key) {
    std::map<std::string, PackEntry> layout = entries;
    if (!AssignOffsets(layout)) return false;
    // Written beside the target and moved over it, so a failure never leaves half a pack.
    const std::filesystem::path target = FinalTarget(file);
    const std::filesystem::path partial = UnusedSibling(target);
    std::error_code error;
    if (!WritePackFile(partial, ScrambleBytes(BuildIndex(layout), key), layout)) {
        std::filesystem::remove(partial, error);
        return false;
    }
    std::filesystem::rename(partial, target, error);
    if (error) {
        std::filesystem::remove(partial, error);
        return false;
    }
    entries = std::move(layout);
    return true;
}

ResourceBuffer ResourcePack::ReadEntry(const std::string& name) {
    const auto found = entries.find(name);
    if (found == entries.end()) return ResourceBuffer();
    return ResourceBuffer(packFile, found->second.offset, found->second.size);
}

std::vector<char> ResourcePack::ScrambleBytes(const std::vector<char>& data,
                                              const std::string& key) {
    std::vector<char> out(data);
    if (key.empty()) return out;
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(out[i] ^ key[i % key.size()]);
    return out;
}

std::string ResourcePack::NormalisePath(const std::string& name) {
    std::string out(name);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

} // namespace dral
