// Build-time tool of the sprites example: writes a resource pack holding the given files.
// Usage: pack_sprites PACK FILE...; each file is stored under the name given on the command line.
#include <cstdio>

#include "assets/resource_pack.h"
#include "sprites_pack.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: pack_sprites PACK FILE...\n");
        return 2;
    }
    dral::ResourcePack pack;
    for (int i = 2; i < argc; ++i) {
        if (!pack.IncludeFile(argv[i])) {
            std::fprintf(stderr, "pack_sprites: cannot read %s\n", argv[i]);
            return 1;
        }
    }
    if (!pack.WritePack(argv[1], sprites_example::PackKey)) {
        std::fprintf(stderr, "pack_sprites: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
