// Fuzzes OpenPack and ReadEntry: any file either opens with every entry inside it, each read
// giving exactly the file's bytes at that entry, or is refused with the pack left untouched.
#include <cstring>

#include "assets/resource_pack.h"
#include "fuzz_support.h"

using namespace dral;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchFile("pack");
    fuzz::WriteFile(path, data, size);
    for (const char* key : {"", "fuzz key"}) {
        ResourcePack pack;
        if (!pack.OpenPack(path, key)) {
            fuzz::Check(!pack.IsOpen() && pack.Entries().empty(), "a refused pack stays empty");
            continue;
        }
        for (const auto& [name, entry] : pack.Entries()) {
            fuzz::Check(uint64_t(entry.offset) + entry.size <= size, "entry inside the file");
            const ResourceBuffer buffer = pack.ReadEntry(name);
            fuzz::Check(buffer.bytes.size() == entry.size &&
                            (entry.size == 0 || std::memcmp(buffer.bytes.data(),
                                                            data + entry.offset, entry.size) == 0),
                        "entry bytes equal the file's");
        }
        const std::string missing("\0missing", 8);
        if (pack.Entries().count(missing) == 0) {
            fuzz::Check(pack.ReadEntry(missing).bytes.empty(), "a missing name reads empty");
            fuzz::Check(pack.Entries().count(missing) == 0, "reading never grows the index");
        }
    }
    return 0;
}
