// Fuzz target: the orvunits command line, run in-process through RunOrvUnits.
//
// Input: the arguments, separated by NUL bytes. When the input ends with a NUL byte, its last
// argument is not an argument but what the run reads from standard input. The run must return
// one of the tool's exit statuses and never throw.
//
// The tool reads and writes the files its arguments name. So that the fuzzer touches no file of
// the machine, every run happens in a scratch folder of its own, removed after the run, and an
// input holding a '/' (which could name a path outside that folder) is skipped. libFuzzer itself
// reads and writes files by the paths it was given, so the working folder changes only for the
// length of a run.
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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '/') {
            return 0;
        }
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    // A trailing NUL leaves an empty last argument: the one before it is standard input.
    std::string input;
    if (args.size() > 1 && args.back().empty()) {
        args.pop_back();
        input = args.back();
        args.pop_back();
    } else if (args.back().empty()) {
        args.pop_back();
    }

    std::istringstream in(input);
    std::ostringstream out, err;
    // A folder that this run made: create_directory returns false for one that exists.
    static std::random_device random;
    std::filesystem::path scratch;
    do {
        scratch = std::filesystem::temp_directory_path() / ("orvunits-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(scratch));
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(scratch);
    const int status = Orv::UnitsTool::RunOrvUnits(args, in, out, err);
    std::filesystem::current_path(saved);
    std::filesystem::remove_all(scratch);
    if (status != Orv::UnitsTool::e_ExitSuccess && status != Orv::UnitsTool::e_ExitBadInput &&
        status != Orv::UnitsTool::e_ExitBadUsage) {
        std::fprintf(stderr, "unknown exit status %d\n", status);
        std::abort();
    }
    return 0;
}
