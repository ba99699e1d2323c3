// Runs a fuzz target's entry point once on every file named on the command line, and on every
// file of every folder named there, in name order. The test build links the fuzz targets with
// this instead of libFuzzer, so that the seed corpora, and every input that once made a target
// fail, run as part of the test suite with whatever checks that build has.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::size_t named = inputs.size();
        if (!std::filesystem::is_directory(argv[i])) {
            inputs.emplace_back(argv[i]);
        } else {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
                if (entry.is_regular_file()) {
                    inputs.push_back(entry.path());
                }
            }
        }
        std::sort(inputs.begin() + static_cast<std::ptrdiff_t>(named), inputs.end());
    }
    for (const std::filesystem::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        if (!file) {
            std::cerr << "cannot read " << input << '\n';
            return 1;
        }
        // The entry point gets its own copy of exactly the input's bytes, so that a read past the
        // end is caught by the sanitizers of the build.
        std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(file),
                                       std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    std::cout << inputs.size() << " inputs ran\n";
    return inputs.empty() ? 1 : 0;
}
