// Result codes of set-up, run, the back-ends' fallible operations and the sprite loaders.
#pragma once

namespace dral {

/// Outcome of a fallible operation: Ok, Fail, or NoFile when a file is missing or unreadable.
enum ResultCode { Fail = 0, Ok = 1, NoFile = -1 };

} // namespace dral
