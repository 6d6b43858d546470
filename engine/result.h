// Result codes of set-up, run, the back-ends' fallible operations and the sprite loaders.
#pragma once

namespace dral {

enum ResultCode { Fail = 0, Ok = 1, NoFile = -1 };

} // namespace dral
