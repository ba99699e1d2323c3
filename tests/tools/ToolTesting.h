// Helpers of the orvunits tests: a run with captured streams, scratch files and the catalogues
// the tests read.
#pragma once

#include "RunOrvUnits.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace orv_tool_testing {

/// Lengths with an alias, temperatures with offsets, a unitless measurement, two unit systems.
inline const std::string kSmallCatalogue = ORV_TOOL_TESTS_DIR "/small-catalogue.xml";
/// A catalogue with one problem: at 3:5, a measurement offers a unit the file lacks.
inline const std::string kBrokenCatalogue = ORV_TOOL_TESTS_DIR "/broken-catalogue.xml";

/// What a run of the tool gave.
struct RunResult {
    int status;
    std::string out;
    std::string err;
};

/// Runs orvunits with `args`, `input` on its standard input.
inline RunResult RunTool(std::vector<std::string> args, const std::string& input = std::string()) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = Orv::UnitsTool::RunOrvUnits(std::move(args), in, out, err);
    return {status, out.str(), err.str()};
}

/// Runs orvunits on the small catalogue.
inline RunResult RunSmall(std::vector<std::string> args, const std::string& input = std::string()) {
    args.insert(args.begin(), {"--catalogue", kSmallCatalogue});
    return RunTool(std::move(args), input);
}

/// True when `err` is the one line that a refusal writes.
inline bool IsOneErrorLine(const std::string& err) {
    return err.rfind("orvunits: ", 0) == 0 && err.find('\n') == err.size() - 1;
}

/// The path of `name` in the running test's own scratch folder.
inline std::string ScratchFile(const std::string& name) {
    const auto folder =
        std::filesystem::path(::testing::TempDir()) /
        ("orvunits_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}

} // namespace orv_tool_testing
