// Every record of a reader as lines of text, engines included, so that tests compare readers
// whole and fail on the first line that differs; and the first problem of a refused catalogue.
#pragma once

#include <units/converter/ExactEngines.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace reader_testing {

namespace Converter = Orv::Pim::Core::Service::Units::Converter;
using Orv::Pim::Core::Service::Units::Reader::RecordUnitReader;
using Orv::Pim::Core::Service::Units::Reader::XmlUnitReader;

inline std::string ReadText(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// Everything an engine is: its kind, its exact definition and the doubles it converts with.
inline std::string Describe(Converter::IUnitConverterEngine& engine) {
    std::ostringstream out;
    out.precision(17);
    out << "kind " << engine.m_eType;
    Converter::ExactDefinition exact;
    if (Converter::GetExactDefinition(engine, exact)) {
        out << " exact " << exact.A << " " << exact.B << " " << exact.C << " " << exact.D;
    }
    double p = 0.0, q = 0.0, r = 0.0;
    if (engine.m_eType == Converter::e_LinearEngine) {
        static_cast<Converter::LinearUnitConverter&>(engine).GetScaleAndOffset(p, q);
        out << " linear " << p << " " << q;
    } else if (engine.m_eType == Converter::e_RationalEngine) {
        static_cast<Converter::RationalUnitConverter&>(engine).GetCoefficients(p, q, r);
        out << " rational " << p << " " << q << " " << r;
    }
    return out.str();
}

// Every record of `reader`, one a line, in its order, with where look-ups find them: "lost" for
// a record its own key does not find, "#i" for the index of the unit a look-up finds.
inline std::vector<std::string> Records(XmlUnitReader& reader) {
    std::vector<std::string> lines;
    for (const auto* dimension : reader.GetAllDimensionSpecs()) {
        lines.push_back("dimension " + dimension->name + " " + dimension->baseUnitSymbol +
                        (reader.GetDimensionSpec(dimension->name) == dimension ? "" : " lost"));
    }
    const auto units = reader.GetAllUnitSpecs();
    const auto indexOf = [&](const void* record) {
        return std::to_string(std::find(units.begin(), units.end(), record) - units.begin());
    };
    // Aliases share their parent's engine: the same units must share engines in both.
    std::map<const Converter::IUnitConverterEngine*, std::string> firstUser;
    for (const auto* unit : units) {
        lines.push_back("unit " + unit->symbol + " | " + unit->name + " | " + unit->dimensionName +
                        " | " + unit->standardFormSymbol + " | " +
                        (unit->IsValid() ? "" : "invalid ") + Describe(*unit->converter) +
                        " | engine of #" +
                        firstUser.emplace(unit->converter, indexOf(unit)).first->second +
                        " | found at #" + indexOf(reader.GetUnitSpec(unit->symbol)));
    }
    const auto measurements = reader.GetAllMeasurementSpecs();
    for (const auto* measurement : measurements) {
        lines.push_back(
            "measurement " + measurement->name + " " + measurement->dimensionName +
            (reader.GetMeasurementSpec(measurement->name) == measurement ? ":" : " lost:"));
        for (const std::string& symbol : measurement->unitSymbols) {
            lines.back() += " [" + symbol + "]";
        }
    }
    for (const auto* system : reader.GetAllUnitSystemSpecs()) {
        lines.push_back("system " + system->name);
        for (const auto* measurement : measurements) {
            if (const auto* unit =
                    reader.GetUnitSpecOfMeasurement(system->name, measurement->name)) {
                lines.push_back("  " + measurement->name + " " + unit->symbol);
            }
        }
    }
    for (const auto& warning : reader.Warnings()) {
        lines.push_back("warning " + warning.ToString());
    }
    return lines;
}

// What the records do not say: signatures, preferences and prefixes, in byte order.
inline std::vector<std::string> Extras(RecordUnitReader& reader) {
    std::vector<std::string> lines;
    for (const auto* dimension : reader.GetAllDimensionSpecs()) {
        lines.push_back(dimension->name + " " +
                        reader.GetDimensionSignature(dimension->name).value_or("(none)") +
                        (reader.IsPreferredDimension(dimension->name) ? " preferred" : ""));
    }
    for (const auto* unit : reader.GetAllUnitSpecs()) {
        if (reader.TakesPrefixes(unit->symbol)) {
            lines.push_back("prefixes " + unit->symbol);
        }
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The first problem of the catalogue that `read` refuses, or "(read)" when it reads it.
template <typename Read>
std::string FirstProblem(Read read) {
    try {
        read();
    } catch (const Orv::Pim::Core::Service::Units::Reader::CatalogueError& error) {
        return error.Problems().empty() ? "(no problem)" : error.Problems().front().ToString();
    }
    return "(read)";
}

// Fails at the first record of `actual` that differs from `expected`'s, records and extras alike.
inline void ExpectSameRecords(XmlUnitReader& expected, XmlUnitReader& actual) {
    const auto want = Records(expected), got = Records(actual);
    ASSERT_GT(want.size(), 1000u);
    for (std::size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
        ASSERT_EQ(i < got.size() ? got[i] : "(none)", i < want.size() ? want[i] : "(none)")
            << "record " << i;
    }
    EXPECT_EQ(Extras(actual), Extras(expected));
}

} // namespace reader_testing
