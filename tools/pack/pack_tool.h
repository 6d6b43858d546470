// tesserine-pack, the resource pack command, as a function: its program calls it with the
// command line, and its tests call it with argument lists and read what it prints.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace pack_tool {

/// Exit codes of the command.
enum Exit : int {
    Success = 0,
    /// A file could not be read or written, a pack did not open, or an entry is missing.
    Failed = 1,
    /// The command line is not understood; the usage is printed.
    Usage = 2,
};

/// Runs one command: `args` is the command line without the program's name. Listings go to out,
/// messages and the usage to err. Returns the process exit code.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace pack_tool
