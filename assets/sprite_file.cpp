// PENDING: sprite files and images.
#include "engine/sprite.h"

namespace dral {

Sprite::Sprite(const std::string& imageFile, ResourcePack* pack) { LoadImageFile(imageFile, pack); }
ResultCode Sprite::LoadImageFile(const std::string&, ResourcePack*) { return NoFile; }
ResultCode Sprite::LoadFromSpriteFile(const std::string&, ResourcePack*) { return Fail; }
ResultCode Sprite::SaveToSpriteFile(const std::string&) const { return Fail; }

} // namespace dral
