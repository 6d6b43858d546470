// The browser platform's key table, checked on the desktop: every key the engine knows is reached
// from its DOM code, and near-miss codes reach nothing.
#include <gtest/gtest.h>

#include <string>

#include "platform/web/platform_web.h"

namespace dral {
namespace {

Key Offset(Key first, int steps) {
    return static_cast<Key>(static_cast<int>(first) + steps);
}

TEST(WebKeyTable, NumberedRunsCoverTheirWholeRange) {
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(MapDomKey(std::string("Key") + char('A' + i)), Offset(Key::A, i)) << i;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(MapDomKey("Digit" + std::to_string(i)), Offset(Key::K0, i)) << i;
        EXPECT_EQ(MapDomKey("Numpad" + std::to_string(i)), Offset(Key::Np0, i)) << i;
    }
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(MapDomKey("F" + std::to_string(i)), Offset(Key::F1, i - 1));
}

TEST(WebKeyTable, NamedKeysAndTheirTwins) {
    EXPECT_EQ(MapDomKey("ArrowUp"), Key::Up);
    EXPECT_EQ(MapDomKey("ArrowRight"), Key::Right);
    EXPECT_EQ(MapDomKey("Space"), Key::Space);
    EXPECT_EQ(MapDomKey("Escape"), Key::Escape);
    EXPECT_EQ(MapDomKey("ShiftLeft"), Key::Shift);
    EXPECT_EQ(MapDomKey("ShiftRight"), Key::Shift);
    EXPECT_EQ(MapDomKey("ControlRight"), Key::Ctrl);
    EXPECT_EQ(MapDomKey("Enter"), Key::Enter);
    EXPECT_EQ(MapDomKey("NumpadEnter"), Key::Enter);
    // The keypad operators keep the engine's order, not the DOM's.
    EXPECT_EQ(MapDomKey("NumpadMultiply"), Key::NpMul);
    EXPECT_EQ(MapDomKey("NumpadDivide"), Key::NpDiv);
    EXPECT_EQ(MapDomKey("NumpadAdd"), Key::NpAdd);
    EXPECT_EQ(MapDomKey("NumpadSubtract"), Key::NpSub);
    EXPECT_EQ(MapDomKey("NumpadDecimal"), Key::NpDecimal);
}

TEST(WebKeyTable, NearMissesReachNoKey) {
    for (const char* code :
         {"", "Key", "Keya", "KeyAA", "Digit", "Digit10", "Digit01", "F0", "F13", "F01", "F1x",
          "Numpad10", "NumpadX", "AltLeft", "MetaLeft", "space", "Unidentified"})
        EXPECT_EQ(MapDomKey(code), Key::None) << '"' << code << '"';
}

} // namespace
} // namespace dral
