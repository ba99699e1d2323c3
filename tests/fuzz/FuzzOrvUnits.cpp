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
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::string name = (std::filesystem::temp_directory_path() / "orvunits-fuzz-XXXXXX");
        if (mkdtemp(name.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::filesystem::current_path(name);
        return std::filesystem::path(name);
    }();
    return folder;
}

void EmptyScratchFolder() {
    for (const auto& entry : std::filesystem::directory_iterator(ScratchFolder())) {
        std::filesystem::remove_all(entry.path());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScratchFolder();
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
    const int status = Orv::UnitsTool::RunOrvUnits(args, in, out, err);
    EmptyScratchFolder();
    if (status != Orv::UnitsTool::e_ExitSuccess && status != Orv::UnitsTool::e_ExitBadInput &&
        status != Orv::UnitsTool::e_ExitBadUsage) {
        std::fprintf(stderr, "unknown exit status %d\n", status);
        std::abort();
    }
    return 0;
}
