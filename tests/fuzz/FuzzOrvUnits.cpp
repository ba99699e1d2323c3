// Fuzz target: the orvunits command line, run in-process through RunOrvUnits.
//
// Input: the arguments, separated by NUL bytes. When the input ends with a NUL byte, its last
// argument is not an argument but what the run reads from standard input. The run must return
// one of the tool's exit statuses and never throw.
//
// The tool reads and writes the files its arguments name. So that the fuzzer touches no file of
// the machine, every run happens in a scratch folder of its own, emptied after each run, and an
// input holding a '/' (which could name a path outside that folder) is skipped.
#include "RunOrvUnits.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The scratch folder's name, kept in plain storage so that it can still be removed at exit.
char g_scratchName[4096];

const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        // A folder that this process made: create_directory fails on one that exists.
        std::random_device random;
        std::filesystem::path made;
        do {
            made =
                std::filesystem::temp_directory_path() / ("orvunits-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(made));
        const std::string name = made.string();
        if (name.size() >= sizeof g_scratchName) {
            std::abort();
        }
        name.copy(g_scratchName, name.size());
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove(g_scratchName, ignored);
        });
        return made;
    }();
    return folder;
}

/// Makes the scratch folder the working folder while it lives, and empties it afterwards.
/// libFuzzer itself reads and writes files by the paths it was given, so the working folder
/// changes only for the length of a run.
class InScratchFolder {
public:
    InScratchFolder() : m_saved(std::filesystem::current_path()) {
        std::filesystem::current_path(ScratchFolder());
    }
    InScratchFolder(const InScratchFolder&) = delete;
    InScratchFolder& operator=(const InScratchFolder&) = delete;
    ~InScratchFolder() {
        for (const auto& entry : std::filesystem::directory_iterator(ScratchFolder())) {
            std::filesystem::remove_all(entry.path());
        }
        std::filesystem::current_path(m_saved);
    }

private:
    std::filesystem::path m_saved;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else if (data[i] == '/') {
            return 0;
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    std::string input;
    if (size > 0 && data[size - 1] == 0 && !args.empty()) {
        input = args.back();
        args.pop_back();
    } else if (!current.empty()) {
        args.push_back(current);
    }

    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    int status = 0;
    {
        const InScratchFolder scratch;
        status = Orv::UnitsTool::RunOrvUnits(args, in, out, err);
    }
    if (status != Orv::UnitsTool::e_ExitSuccess && status != Orv::UnitsTool::e_ExitBadInput &&
        status != Orv::UnitsTool::e_ExitBadUsage) {
        std::fprintf(stderr, "unknown exit status %d\n", status);
        std::abort();
    }
    return 0;
}
