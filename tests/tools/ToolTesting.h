// Helpers of the orvunits tests: a run with captured streams, a small catalogue file, and a JSON
// syntax check.
#pragma once

#include "RunOrvUnits.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
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
    std::ostringstream out;
    std::ostringstream err;
    const int status = Orv::UnitsTool::RunOrvUnits(std::move(args), in, out, err);
    return {status, out.str(), err.str()};
}

/// A folder of its own under the system's temporary folder, removed with its files at the end.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvunits-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    /// The path of `name` in the folder.
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    /// Writes `text` to `name` in the folder and returns its path.
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(File(name), std::ios::binary) << text;
        return File(name);
    }

private:
    std::filesystem::path m_path;
};

/// A small catalogue: lengths with an alias, temperatures with offsets, a unitless measurement,
/// and two unit systems.
inline const char* SmallCatalogue() {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
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
}

/// True when `text` is one JSON value, with white space around it at most.
bool IsValidJson(const std::string& text);

} // namespace orv_tool_testing
