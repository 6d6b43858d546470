// The name and key of the sprites example's resource pack, shared by the program that writes it
// at build time and the example that reads it.
#pragma once

namespace sprites_example {

inline constexpr const char* PackFile = "sprites.pack";
// The key scrambles the pack's index; it hides names from a casual look and is no encryption.
inline constexpr const char* PackKey = "tesserine example";

} // namespace sprites_example
