// UTF-8 to UTF-16 conversion of file paths, for the Windows decoders that take wide paths.
#pragma once

#include <string>

namespace dral {

std::wstring Utf8ToWide(const std::string& text);

} // namespace dral
