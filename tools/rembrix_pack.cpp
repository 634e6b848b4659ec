// rembrix-pack: builds, lists and extracts Rembrix Setup packages.
// Exit code 0 on success; 1 with a one-line reason when a command fails or
// refuses; 2 for a command line it does not understand.
#include "tools/pack_build.h"
#include "tools/pack_common.h"
#include "tools/pack_listing.h"

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const MainHelp =
    "usage: rembrix-pack COMMAND [ARGUMENTS]\n"
    "\n"
    "Builds and reads packages of the Rembrix setup program.\n"
    "\n"
    "commands:\n"
    "  build    bundle, compress and split a product into a package\n"
    "  list     show the table of packed files of a setup program\n"
    "  extract  unpack a package's files, or verify them against a folder\n"
    "\n"
    "rembrix-pack COMMAND --help describes each.\n";

const char* const BuildHelp =
    "usage: rembrix-pack build --setup SETUP --out DIR [--volumes N] [--volume-size BYTES]\n"
    "                          MAIN FILE...\n"
    "\n"
    "Bundles MAIN (the main program, installed as Rembrix.Exe) and each FILE back\n"
    "to back in the order given, compresses the bundle and splits the stream into\n"
    "the volume files DIR/Rembrix.001, DIR/Rembrix.002 ... (at most 4). Writes\n"
    "DIR/<name of SETUP>: the setup program followed by the table of the files.\n"
    "\n"
    "  --setup SETUP        the setup program to append the table to\n"
    "  --out DIR            where the package goes (created if missing)\n"
    "  --volumes N          split into N volumes of nearly equal size (1 to 4)\n"
    "  --volume-size BYTES  largest size of one volume, e.g. 1457664 for a floppy\n"
    "                       disk; alone, as many volumes as needed\n"
    "  (neither: as many volumes as this build's setup program asks for)\n"
    "\n"
    "Refused, with nothing written: a missing or unreadable input; a FILE whose\n"
    "name is longer than 19 characters, not a plain file name, repeated, or the\n"
    "setup program's own Rembrix.Exe or Rembrix._ZV; no FILE or more than 255; a\n"
    "bundle of 2 GiB or more; a stream that 4 volumes of the given size cannot hold.\n";

const char* const ListHelp =
    "usage: rembrix-pack list SETUP_FILE\n"
    "\n"
    "Shows the table at the end of a built setup program: index, name, offset and\n"
    "size of each packed file, the main program's range, the unpacked size, and the\n"
    "volumes found beside it. A damaged table is reported and the command fails.\n";

const char* const ExtractHelp =
    "usage: rembrix-pack extract [--verify] SETUP_FILE OUT_DIR\n"
    "\n"
    "Reads the table of SETUP_FILE, joins the volumes beside it (Rembrix.001 ...),\n"
    "decodes them with the setup program's own decoder and writes the main program\n"
    "as Rembrix.Exe and every packed file into OUT_DIR.\n"
    "\n"
    "  --verify  compare with the files already in OUT_DIR instead of writing;\n"
    "            every difference is listed and the command fails\n";

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

bool WantsHelp(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            return true;
        }
    }
    return false;
}

uint64_t ParseCount(const std::string& option, const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 18) {
        throw UsageError(option + " needs a whole number, not \"" + text + "\"");
    }
    return std::stoull(text);
}

int RunBuild(const std::vector<std::string>& arguments) {
    BuildRequest request;
    std::vector<std::filesystem::path> positional;
    bool optionsEnded = false;
    for (size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        const bool isOption = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (!isOption) {
            positional.emplace_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (index + 1 == arguments.size()) {
            throw UsageError(argument + " needs a value");
        }
        const std::string& value = arguments[++index];
        if (argument == "--setup") {
            request.SetupProgram = value;
        } else if (argument == "--out") {
            request.OutputFolder = value;
        } else if (argument == "--volumes") {
            const uint64_t count = ParseCount(argument, value);
            if (count < 1 || count > 4) {
                throw UsageError("--volumes must be 1 to 4");
            }
            request.VolumeCount = static_cast<int>(count);
        } else if (argument == "--volume-size") {
            request.MaxVolumeSize = ParseCount(argument, value);
            if (request.MaxVolumeSize == 0) {
                throw UsageError("--volume-size must be at least 1");
            }
        } else {
            throw UsageError("unknown option " + argument);
        }
    }
    if (request.SetupProgram.empty()) {
        throw UsageError("--setup SETUP is missing");
    }
    if (request.OutputFolder.empty()) {
        throw UsageError("--out DIR is missing");
    }
    if (positional.empty()) {
        throw UsageError("MAIN is missing");
    }
    request.MainProgram = positional.front();
    request.Files.assign(positional.begin() + 1, positional.end());
    BuildPackage(request, std::cout);
    return 0;
}

int RunList(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        throw UsageError("list takes exactly one SETUP_FILE");
    }
    ListPackage(arguments.front(), std::cout);
    return 0;
}

int RunExtract(const std::vector<std::string>& arguments) {
    bool verify = false;
    std::vector<std::string> positional;
    for (const std::string& argument : arguments) {
        if (argument == "--verify") {
            verify = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            throw UsageError("unknown option " + argument);
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.size() != 2) {
        throw UsageError("extract takes SETUP_FILE and OUT_DIR");
    }
    ExtractPackage(positional[0], positional[1], verify, std::cout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.empty()) {
        std::cerr << MainHelp;
        return 2;
    }
    const std::string command = all.front();
    const std::vector<std::string> arguments(all.begin() + 1, all.end());
    struct Command {
        const char* Name;
        const char* Help;
        int (*Run)(const std::vector<std::string>&);
    };
    const Command commands[] = {
        {"build", BuildHelp, RunBuild},
        {"list", ListHelp, RunList},
        {"extract", ExtractHelp, RunExtract},
    };
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << MainHelp;
        return 0;
    }
    for (const Command& candidate : commands) {
        if (command != candidate.Name) {
            continue;
        }
        if (WantsHelp(arguments)) {
            std::cout << candidate.Help;
            return 0;
        }
        try {
            return candidate.Run(arguments);
        } catch (const UsageError& error) {
            std::cerr << "rembrix-pack " << command << ": " << error.what() << " (rembrix-pack "
                      << command << " --help)\n";
            return 2;
        } catch (const std::exception& error) {
            std::cout.flush();
            std::cerr << "rembrix-pack " << command << ": " << error.what() << "\n";
            return 1;
        }
    }
    std::cerr << "rembrix-pack: unknown command \"" << command << "\" (rembrix-pack --help)\n";
    return 2;
}
