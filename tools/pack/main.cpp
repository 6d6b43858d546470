// tesserine-pack: creates, lists and extracts Tesserine resource packs. See pack_tool.cpp.
#include <iostream>

#include "pack_tool.h"

int main(int argc, char** argv) {
    return pack_tool::Run({argv + 1, argv + argc}, std::cout, std::cerr);
}
