// The resource pack command: create a pack from files and folders, list what a pack holds, and
// extract entries, with the key given on the command line or read from a file. Packs and
// extracted files are written beside their destination first and renamed over it once complete,
// so a failed run never leaves a half-written file under the name asked for.
#include "pack_tool.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "assets/resource_pack.h"

namespace pack_tool {

namespace fs = std::filesystem;

namespace {

constexpr const char* UsageText =
    "usage: tesserine-pack create PACK [-C DIR] [KEY] PATH...\n"
    "       tesserine-pack list PACK [KEY]\n"
    "       tesserine-pack extract PACK [-o DIR] [KEY] [NAME...]\n"
    "KEY is --key TEXT or --key-file FILE (the file's bytes without one trailing line end);\n"
    "without one the key is empty. create stores each file under its path from DIR (default:\n"
    "the current folder) and every file beneath a folder; paths must stay inside DIR. list\n"
    "prints each entry's size in bytes and name. extract writes the named entries (default: all)\n"
    "under their names in DIR (default: the current folder), or to standard output with -o -.\n"
    "Exit codes: 0 done, 1 a file or pack failed, 2 a command line not understood.\n";

// The command line after the command and the pack.
struct Options {
    std::string command, pack, key, folder;
    std::vector<std::string> operands;
};

// Reads a key file: its bytes, less one trailing "\n" or "\r\n", as editors add them.
std::optional<std::string> ReadKeyFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string key{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    if (!key.empty() && key.back() == '\n') key.pop_back();
    if (!key.empty() && key.back() == '\r') key.pop_back();
    return key;
}

// Parses args into options: Success, Usage for a command line not understood, Failed for a key
// file that cannot be read, with the reason in err.
int Parse(const std::vector<std::string>& args, Options& options, std::ostream& err) {
    if (args.size() < 2) {
        err << "tesserine-pack: a command and a pack are needed\n";
        return Usage;
    }
    options.command = args[0];
    options.pack = args[1];
    // The one command that takes a folder names it by its own option; "" for none.
    const std::string folderOption = options.command == "create"    ? "-C"
                                     : options.command == "extract" ? "-o"
                                                                    : "";
    bool keyGiven = false, optionsEnd = false;
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnd || arg.empty() || arg[0] != '-' || arg == "-") {
            options.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        const bool takesValue =
            arg == "--key" || arg == "--key-file" || (!folderOption.empty() && arg == folderOption);
        if (!takesValue) {
            err << "tesserine-pack: unknown option " << arg << " for " << options.command << "\n";
            return Usage;
        }
        if (i + 1 == args.size()) {
            err << "tesserine-pack: " << arg << " needs a value\n";
            return Usage;
        }
        const std::string& value = args[++i];
        if (!folderOption.empty() && arg == folderOption) {
            options.folder = value;
            continue;
        }
        if (keyGiven) {
            err << "tesserine-pack: give one key, with --key or --key-file\n";
            return Usage;
        }
        keyGiven = true;
        if (arg == "--key") {
            options.key = value;
        } else if (const auto key = ReadKeyFile(value)) {
            options.key = *key;
        } else {
            err << "tesserine-pack: cannot read the key file " << value << "\n";
            return Failed;
        }
    }
    return Success;
}

// True when name, as stored in a pack, stays inside the folder it is relative to: not empty, not
// rooted, and with no ".." step.
bool StaysInside(const std::string& name) {
    const fs::path path(name);
    if (name.empty() || path.has_root_path()) return false;
    return std::none_of(path.begin(), path.end(),
                        [](const fs::path& step) { return step == ".."; });
}

// Changes the working folder for its lifetime: the pack stores names relative to it.
class WorkingFolder {
  public:
    explicit WorkingFolder(const std::string& folder) {
        if (folder.empty()) return;
        previous = fs::current_path(error);
        if (!error) fs::current_path(folder, error);
    }
    ~WorkingFolder() {
        std::error_code ignored;
        if (!previous.empty()) fs::current_path(previous, ignored);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;
    bool Failed() const { return static_cast<bool>(error); }

  private:
    fs::path previous;
    std::error_code error;
};

// Adds one operand of create: a file under its path, or every file beneath a folder, in name
// order. The pack being written is left out, so that packing "." twice does not nest it.
bool AddPath(dral::ResourcePack& pack, const std::string& operand, const fs::path& packFile,
             std::ostream& err) {
    const std::string name = fs::path(operand).lexically_normal().generic_string();
    if (name != "." && !StaysInside(name)) {
        err << "tesserine-pack: " << operand << " is not inside the folder packed from\n";
        return false;
    }
    std::error_code error;
    const fs::file_status status = fs::status(name, error);
    if (fs::is_regular_file(status)) {
        if (pack.IncludeFile(name)) return true;
        err << "tesserine-pack: cannot read " << operand << "\n";
        return false;
    }
    if (!fs::is_directory(status)) {
        err << "tesserine-pack: no file or folder " << operand << "\n";
        return false;
    }
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(name, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code unreadable; // such an entry is neither a file nor the pack: skipped
        if (it->is_regular_file(unreadable) && !fs::equivalent(it->path(), packFile, unreadable))
            files.push_back(it->path().lexically_normal());
    }
    if (error) {
        err << "tesserine-pack: cannot read the folder " << operand << "\n";
        return false;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        if (!pack.IncludeFile(file.generic_string())) {
            err << "tesserine-pack: cannot read " << file.generic_string() << "\n";
            return false;
        }
    }
    return true;
}

int Create(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.operands.empty()) {
        err << "tesserine-pack: create needs at least one file or folder\n";
        return Usage;
    }
    std::error_code error;
    const fs::path packFile = fs::absolute(options.pack, error);
    const WorkingFolder folder(options.folder);
    if (error || folder.Failed()) {
        err << "tesserine-pack: cannot enter the folder " << options.folder << "\n";
        return Failed;
    }
    dral::ResourcePack pack;
    for (const std::string& operand : options.operands) {
        if (!AddPath(pack, operand, packFile, err)) return Failed;
    }
    if (!pack.WritePack(packFile.string(), options.key)) {
        err << "tesserine-pack: cannot write " << options.pack << "\n";
        return Failed;
    }
    const size_t count = pack.Entries().size();
    out << "packed " << count << (count == 1 ? " file" : " files") << " into " << options.pack
        << "\n";
    return Success;
}

bool Open(dral::ResourcePack& pack, const Options& options, std::ostream& err) {
    if (pack.OpenPack(options.pack, options.key)) return true;
    std::error_code error;
    if (!fs::is_regular_file(options.pack, error))
        err << "tesserine-pack: no pack file " << options.pack << "\n";
    else
        err << "tesserine-pack: " << options.pack
            << " does not open: not a pack, damaged, or the key is wrong\n";
    return false;
}

int List(const Options& options, std::ostream& out, std::ostream& err) {
    if (!options.operands.empty()) {
        err << "tesserine-pack: list takes no names\n";
        return Usage;
    }
    dral::ResourcePack pack;
    if (!Open(pack, options, err)) return Failed;
    for (const auto& [name, entry] : pack.Entries()) out << entry.size << "\t" << name << "\n";
    return Success;
}

// Writes bytes to target through a sibling renamed over it once complete.
bool WriteWhole(const fs::path& target, const std::vector<char>& bytes) {
    std::error_code error;
    fs::path partial = target;
    partial += ".partial";
    for (int n = 1; fs::exists(partial, error); ++n) {
        partial = target;
        partial += ".partial" + std::to_string(n);
    }
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            fs::remove(partial, error);
            return false;
        }
    }
    fs::rename(partial, target, error);
    if (error) fs::remove(partial, error);
    return !error;
}

// Writes one entry under out folder, or to out when the folder is "-".
bool ExtractEntry(dral::ResourcePack& pack, const std::string& name, const Options& options,
                  std::ostream& out, std::ostream& err) {
    if (!pack.Entries().contains(name)) {
        err << "tesserine-pack: " << options.pack << " holds no " << name << "\n";
        return false;
    }
    const bool toOutput = options.folder == "-";
    if (!toOutput && !StaysInside(name)) {
        err << "tesserine-pack: refusing " << name << ": it would land outside the folder\n";
        return false;
    }
    const dral::ResourceBuffer buffer = pack.ReadEntry(name);
    if (!buffer.complete) {
        err << "tesserine-pack: " << options.pack << " is cut short inside " << name << "\n";
        return false;
    }
    if (toOutput) {
        out.write(buffer.bytes.data(), static_cast<std::streamsize>(buffer.bytes.size()));
        return static_cast<bool>(out);
    }
    const fs::path target = fs::path(options.folder.empty() ? "." : options.folder) / name;
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    if (error || !WriteWhole(target, buffer.bytes)) {
        err << "tesserine-pack: cannot write " << target.generic_string() << "\n";
        return false;
    }
    return true;
}

int Extract(const Options& options, std::ostream& out, std::ostream& err) {
    dral::ResourcePack pack;
    if (!Open(pack, options, err)) return Failed;
    std::vector<std::string> names = options.operands;
    if (names.empty()) {
        for (const auto& entry : pack.Entries()) names.push_back(entry.first);
    }
    for (const std::string& name : names) {
        if (!ExtractEntry(pack, dral::ResourcePack::NormalisePath(name), options, out, err))
            return Failed;
    }
    return Success;
}

int Dispatch(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.command == "create") return Create(options, out, err);
    if (options.command == "list") return List(options, out, err);
    if (options.command == "extract") return Extract(options, out, err);
    err << "tesserine-pack: unknown command " << options.command << "\n";
    return Usage;
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << UsageText;
        return Success;
    }
    Options options;
    int code = Parse(args, options, err);
    if (code == Success) code = Dispatch(options, out, err);
    if (code == Usage) err << UsageText;
    return code;
}

} // namespace pack_tool
