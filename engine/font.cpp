// PENDING: the built-in font.
#include "engine/tesserine.h"

namespace dral {

void Tesserine::BuildFontSheet() {
    fontSprite = new Sprite(128, 48);
    fontDecal = new Decal(fontSprite);
}

} // namespace dral
