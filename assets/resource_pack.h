// Resource packs: many named files in one pack file behind a key-scrambled index, and the
// read-only stream buffer that hands out one stored file's bytes.
#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <streambuf>
#include <string>
#include <vector>

namespace dral {

/// One index record: where a stored file's bytes sit in the pack file.
struct PackEntry {
    /// Length of the stored file in bytes.
    uint32_t size = 0;
    /// Position of its first byte in the pack file.
    uint32_t offset = 0;
};

/// The bytes of one stored file, readable sequentially through an input stream. No put area, no
/// refill and no seeking: at the end of the bytes the stream reports end of file. Move-only, so
/// the get area always points into this buffer's own bytes.
struct ResourceBuffer : public std::streambuf {
    ResourceBuffer() = default;
    /// Reads `size` bytes at `offset`; bytes the stream cannot deliver stay zero and clear
    /// `complete`. A size that no array of the program can hold (over 2 GiB in a 32-bit one)
    /// gives no bytes and clears `complete`.
    ResourceBuffer(std::ifstream& stream, uint32_t offset, uint32_t size);
    /// Takes over other's bytes and read position; other is left empty.
    ResourceBuffer(ResourceBuffer&& other) noexcept;
    /// Takes over other's bytes and read position; other is left empty.
    ResourceBuffer& operator=(ResourceBuffer&& other) noexcept;
    ResourceBuffer(const ResourceBuffer&) = delete;
    ResourceBuffer& operator=(const ResourceBuffer&) = delete;

    /// The stored file's bytes, owned by the buffer.
    std::vector<char> bytes;
    /// False when the pack file could not deliver every byte, for example because it was cut
    /// short after it was opened: the bytes then end in zeros that are not the stored file's.
    bool complete = true;

  private:
    void SetGetArea(std::ptrdiff_t position);
};

/// Many named files in one pack file behind a key-scrambled index: add files and write a pack, or
/// open one and read its entries by name. The key scrambles; it does not encrypt. A pack is used
/// from one thread at a time.
class ResourcePack : public std::streambuf {
  public:
    /// An empty pack with no file open.
    ResourcePack() = default;

    /// Adds a file of the file system under its name with backslashes turned into slashes. False
    /// when it is missing, not a regular readable file, or too large for a 32-bit size.
    bool IncludeFile(const std::string& name);
    /// Opens a pack file and merges its index. False (index and pack untouched) when the file
    /// cannot be opened, a pack is already open, or the index does not fit the file.
    bool OpenPack(const std::string& file, const std::string& key);
    /// Writes every indexed file into a new pack, replacing `file` only once it is complete.
    bool WritePack(const std::string& file, const std::string& key);
    /// The bytes of one stored file; empty for a name that the index does not hold.
    ResourceBuffer ReadEntry(const std::string& name);
    /// True once OpenPack has succeeded.
    bool IsOpen() const { return packFile.is_open(); }

    /// The index: each stored name with its place in the pack file.
    const std::map<std::string, PackEntry>& Entries() const { return entries; }

    /// XOR with the key repeated from its first byte; its own inverse. An empty key copies.
    static std::vector<char> ScrambleBytes(const std::vector<char>& data, const std::string& key);
    /// `name` with every backslash turned into a slash, as names are stored.
    static std::string NormalisePath(const std::string& name);

  private:
    // std::string orders by unsigned bytes, so a name sorts before any longer name it prefixes.
    std::map<std::string, PackEntry> entries;
    std::ifstream packFile;
};

} // namespace dral
