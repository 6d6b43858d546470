// The built-in 8 x 8 font: the sheet of characters 32..127 packed into 1024 printable characters,
// and its unpacking into the 128 x 48 font sprite at start-up. The readable glyphs live in
// engine/font_glyphs.txt; tools/font/font_pack regenerates the string below from them.
// Needs: Sprite and Decal; the decal's texture comes from the process-wide renderer.
#include <bit>

#include "engine/tesserine.h"

namespace dral {

namespace {

// Four characters per 24-bit word, six bits each ('0' stands for 0), the first character highest;
// the words fill the sheet column by column, each column top to bottom, lowest bit first.
constexpr char packedFont[] = R"(00000000?Sh0o01o@E409049GDT09089EDD090@9GSh060060000000000000000)"
                              R"(00000000OP00620n2D8095A12GmO95AA2D0095@QOP00o7QN0000000000000000)"
                              R"(00000000Od80O7moBF4724P9BE4014@IBDT714@Y=TH023Q60000000000000000)"
                              R"(00000000?R4DB3Q6@D5oE4A9@DDDE4A9@D]oE4A98S4D920a0000000000000000)"
                              R"(00000000OaPT13P1@A@Z?d@1@A9oA4Ao@GlZ@4P1?Q0B87l10000000000000000)"
                              R"(00000000ObLS?3PoBDDC@5A0BDD8@5A0BDET85A0@CURO1Po0000000000000000)"
                              R"(00000000Oc`f70PO2DY987hP2DUE@0U02DTR804P0C1@708O0000000000000000)"
                              R"(00000000?P40?1Po@G44@:A0B@T3<:@hB@D0@:A0NP<0?7`o0000000000000000)"
                              R"(00000000OcH0A7mS24TL:0PD24TR40@824U1:0@DOcH0A7QS0000000000000000)"
                              R"(0000000000H07003@DU1X4@4OdTRX7eh@BTLX40401h0O0030000000000000000)"
                              R"(00000000800DA41Q@3H8I81A@CHnE8A9?`08C7e50@0DA0130000000000000000)"
                              R"(00000000O`0807l025H8211o53Hn=RQ18P08@DA1@@08@@000000000000000000)"
                              R"(00000000O`P00002@1BP0444@29POgl8@440040@@000000P0000000000000000)"
                              R"(00000000Oa@8@G`00Q@8@@A131@8=QQ10Q@820AoOa@807P00000000000000000)"
                              R"(00000000O`0027`4145P10P2229P20@141@040@2O`P027P40000000000000000)"
                              R"(00000000?P8PECR0@@4@ZTB0@E48EDB0@@T4ZTB0?PH2ECR00000000000000000)";
static_assert(sizeof(packedFont) == 1024 + 1, "the sheet is 256 words of four characters");

} // namespace

void Tesserine::BuildFontSheet() {
    fontSprite = std::make_unique<Sprite>(128, 48);
    int32_t px = 0, py = 0;
    for (size_t group = 0; group < 1024; group += 4) {
        uint32_t word = 0;
        for (size_t c = 0; c < 4; ++c) word = (word << 6) | uint32_t(packedFont[group + c] - '0');
        for (int bit = 0; bit < 24; ++bit) {
            const uint8_t k = (word >> bit) & 1u ? 255 : 0;
            fontSprite->SetPixel(px, py, Pixel(k, k, k, k));
            if (++py == 48) {
                py = 0;
                ++px;
            }
        }
    }
    BuildGlyphInk();
    fontDecal = std::make_unique<Decal>(fontSprite.get());
}

void Tesserine::BuildGlyphInk() {
    // Text looks only at the red channel: non-zero red is ink.
    for (int32_t cell = 0; cell < 96; ++cell) {
        uint64_t ink = 0;
        for (int32_t gx = 0; gx < 8; ++gx)
            for (int32_t gy = 0; gy < 8; ++gy)
                if (fontSprite->GetPixel(8 * (cell % 16) + gx, 8 * (cell / 16) + gy).r != 0)
                    ink |= uint64_t{1} << (gx * 8 + gy);
        glyphInk[size_t(cell)] = ink;
    }
    // The lists follow the bits' order: the lowest set bit is drawn first.
    auto ink = [&](size_t byte) { return byte >= 32 && byte < 128 ? glyphInk[byte - 32] : 0; };
    size_t total = 0;
    for (size_t byte = 0; byte < 256; ++byte) total += size_t(std::popcount(ink(byte)));
    glyphPixels.assign(total, {});
    std::array<uint8_t, 2>* at = glyphPixels.data();
    for (size_t byte = 0; byte < 256; ++byte) {
        for (uint64_t bits = ink(byte); bits; bits &= bits - 1) {
            const int bit = std::countr_zero(bits);
            *at++ = {uint8_t(bit >> 3), uint8_t(bit & 7)};
        }
        glyphs[byte] = {at, std::popcount(ink(byte))};
    }
}

} // namespace dral
