// Helpers of the orvunits tests: a run with captured streams, scratch files, a small catalogue,
// and a strict JSON syntax check.
#pragma once

#include "RunOrvUnits.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace orv_tool_testing {

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

/// True when `err` is the one line that a refusal writes.
inline bool IsOneErrorLine(const std::string& err) {
    return err.rfind("orvunits: ", 0) == 0 && err.find('\n') == err.size() - 1;
}

/// The path of `name` in the running test's own scratch folder; writes `text` there if given.
inline std::string ScratchFile(const std::string& name, const char* text = nullptr) {
    const auto folder =
        std::filesystem::path(::testing::TempDir()) /
        ("orvunits_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / name).string();
    if (text != nullptr) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
    return path;
}

/// A small catalogue: lengths with an alias, temperatures with offsets, a unitless measurement,
/// and two unit systems.
constexpr const char* kSmallCatalogue = R"(<?xml version="1.0" encoding="UTF-8"?>
<UnitCatalog>
  <Dimension name="Dimensionless" baseUnit="unitless">
    <Measurement name="Unitless"/>
    <Unit name="unitless" desc="no unit" scale="1" offset="0"/>
  </Dimension>
  <Dimension name="Length" baseUnit="m">
    <Measurement name="Depth" units="m ft"/>
    <Measurement name="Length"/>
    <Unit name="m" desc="metre" scale="1" offset="0"/>
    <Unit name="km" desc="kilometre" scale="0.001" offset="0" B="1000"/>
    <Unit name="ft" desc="foot" scale="3.28084" offset="0" B="0.3048">
      <Alias name="foot" desc="foot"/>
    </Unit>
  </Dimension>
  <Dimension name="Temperature" baseUnit="K">
    <Measurement name="Temperature"/>
    <Unit name="K" desc="kelvin" scale="1" offset="0"/>
    <Unit name="degC" desc="degree Celsius" scale="1" offset="-273.15" A="273.15"/>
  </Dimension>
  <UnitSystem name="Metric">
    <UnitMapping measurement="Depth" unit="m"/>
    <UnitMapping measurement="Length" unit="m"/>
    <UnitMapping measurement="Temperature" unit="degC"/>
    <UnitMapping measurement="Unitless" unit="unitless"/>
  </UnitSystem>
  <UnitSystem name="US Customary">
    <UnitMapping measurement="Depth" unit="ft"/>
    <UnitMapping measurement="Length" unit="ft"/>
    <UnitMapping measurement="Temperature" unit="K"/>
    <UnitMapping measurement="Unitless" unit="unitless"/>
  </UnitSystem>
</UnitCatalog>
)";

/// Reads one JSON value of `s` from `i` on, with the blanks around it; false when there is none.
inline bool JsonValue(const std::string& s, std::size_t& i, int depth = 0) {
    const auto blank = [&] { i = std::min(s.find_first_not_of(" \t\r\n", i), s.size()); };
    const auto take = [&](char c) { return i < s.size() && s[i] == c && (++i, true); };
    blank();
    if (depth > 100 || i >= s.size()) {
        return false;
    }
    const char open = s[i];
    if (take('{') || take('[')) {
        const char close = open == '{' ? '}' : ']';
        if (blank(), take(close)) {
            return true;
        }
        do {
            if (open == '{' && !(blank(), i < s.size() && s[i] == '"' &&
                                              JsonValue(s, i, depth + 1) && take(':'))) {
                return false;
            }
            if (!JsonValue(s, i, depth + 1)) {
                return false;
            }
        } while (take(','));
        return take(close) && (blank(), true);
    }
    static const std::regex token(
        R"("([^"\\\x00-\x1f]|\\["\\/bfnrt]|\\u[0-9a-fA-F]{4})*"|true|false|null|)"
        R"(-?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?)");
    std::smatch match;
    if (!std::regex_search(s.begin() + static_cast<std::ptrdiff_t>(i), s.end(), match, token,
                           std::regex_constants::match_continuous)) {
        return false;
    }
    i += static_cast<std::size_t>(match.length());
    blank();
    return true;
}

/// True when `text` is one JSON value, with white space around it at most.
inline bool IsValidJson(const std::string& text) {
    std::size_t i = 0;
    return JsonValue(text, i) && i == text.size();
}

} // namespace orv_tool_testing
