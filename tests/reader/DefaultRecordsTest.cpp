// The default reader is built from records compiled from data/DefaultCatalogue.xml at build time.
// Whatever the compiled form, it must give exactly what reading that file gives.
#include <units/converter/ExactEngines.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
namespace Converter = Units::Converter;
using Units::Reader::XmlUnitReader;

std::unique_ptr<XmlUnitReader> ReadTheFile() {
    std::ifstream file(ORV_DEFAULT_CATALOGUE_FILE, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    // The name the compiled records carry in their warnings.
    return XmlUnitReader::FromText(text.str(), "DefaultCatalogue.xml");
}

// Everything an engine is: its kind, its exact definition and the doubles it converts with.
std::string Describe(Converter::IUnitConverterEngine& engine) {
    std::ostringstream out;
    out.precision(17);
    out << "kind " << engine.m_eType;
    Converter::ExactDefinition exact;
    if (Converter::GetExactDefinition(engine, exact)) {
        out << " exact " << exact.A << " " << exact.B << " " << exact.C << " " << exact.D;
    }
    if (engine.m_eType == Converter::e_LinearEngine) {
        double scale = 0.0;
        double offset = 0.0;
        static_cast<Converter::LinearUnitConverter&>(engine).GetScaleAndOffset(scale, offset);
        out << " linear " << scale << " " << offset;
    } else if (engine.m_eType == Converter::e_RationalEngine) {
        double p = 0.0;
        double q = 0.0;
        double r = 0.0;
        static_cast<Converter::RationalUnitConverter&>(engine).GetCoefficients(p, q, r);
        out << " rational " << p << " " << q << " " << r;
    }
    return out.str();
}

TEST(DefaultReader, HasExactlyTheRecordsOfTheCatalogueFile) {
    const std::unique_ptr<XmlUnitReader> read = ReadTheFile();
    const std::unique_ptr<XmlUnitReader> compiled = XmlUnitReader::Default();

    const auto dimensions = read->GetAllDimensionSpecs();
    const auto compiledDimensions = compiled->GetAllDimensionSpecs();
    ASSERT_EQ(compiledDimensions.size(), dimensions.size());
    ASSERT_FALSE(dimensions.empty());
    for (std::size_t i = 0; i < dimensions.size(); ++i) {
        EXPECT_EQ(compiledDimensions[i]->name, dimensions[i]->name);
        EXPECT_EQ(compiledDimensions[i]->baseUnitSymbol, dimensions[i]->baseUnitSymbol);
        EXPECT_EQ(compiled->GetDimensionSpec(dimensions[i]->name), compiledDimensions[i]);
    }

    const auto units = read->GetAllUnitSpecs();
    const auto compiledUnits = compiled->GetAllUnitSpecs();
    ASSERT_EQ(compiledUnits.size(), units.size());
    // Aliases share their parent's engine: the same units must share engines in both.
    std::map<const Converter::IUnitConverterEngine*, std::size_t> firstUser;
    std::map<const Converter::IUnitConverterEngine*, std::size_t> compiledFirstUser;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto& unit = *units[i];
        const auto& other = *compiledUnits[i];
        EXPECT_EQ(other.symbol, unit.symbol);
        EXPECT_EQ(other.name, unit.name);
        EXPECT_EQ(other.dimensionName, unit.dimensionName);
        EXPECT_EQ(other.standardFormSymbol, unit.standardFormSymbol);
        EXPECT_EQ(other.IsValid(), unit.IsValid());
        EXPECT_EQ(Describe(*other.converter), Describe(*unit.converter)) << unit.symbol;
        EXPECT_EQ(compiledFirstUser.emplace(other.converter, i).first->second,
                  firstUser.emplace(unit.converter, i).first->second)
            << unit.symbol;
    }
    // A look-up finds the record at the same place in both.
    std::map<const Units::Reader::UnitSpec*, std::size_t> indexOf;
    for (std::size_t i = 0; i < units.size(); ++i) {
        indexOf.emplace(units[i], i);
    }
    for (const auto* unit : units) {
        EXPECT_EQ(compiled->GetUnitSpec(unit->symbol),
                  compiledUnits[indexOf.at(read->GetUnitSpec(unit->symbol))])
            << unit->symbol;
    }

    const auto measurements = read->GetAllMeasurementSpecs();
    const auto compiledMeasurements = compiled->GetAllMeasurementSpecs();
    ASSERT_EQ(compiledMeasurements.size(), measurements.size());
    for (std::size_t i = 0; i < measurements.size(); ++i) {
        EXPECT_EQ(compiledMeasurements[i]->name, measurements[i]->name);
        EXPECT_EQ(compiledMeasurements[i]->dimensionName, measurements[i]->dimensionName);
        EXPECT_EQ(compiledMeasurements[i]->unitSymbols, measurements[i]->unitSymbols);
    }

    const auto systems = read->GetAllUnitSystemSpecs();
    const auto compiledSystems = compiled->GetAllUnitSystemSpecs();
    ASSERT_EQ(compiledSystems.size(), systems.size());
    int mappings = 0;
    for (std::size_t s = 0; s < systems.size(); ++s) {
        EXPECT_EQ(compiledSystems[s]->name, systems[s]->name);
        for (const auto* measurement : measurements) {
            const auto* unit = read->GetUnitSpecOfMeasurement(systems[s]->name, measurement->name);
            const auto* other =
                compiled->GetUnitSpecOfMeasurement(systems[s]->name, measurement->name);
            ASSERT_EQ(other == nullptr, unit == nullptr) << measurement->name;
            if (unit != nullptr) {
                EXPECT_EQ(other->symbol, unit->symbol);
                ++mappings;
            }
        }
    }
    EXPECT_GT(mappings, 0);

    ASSERT_EQ(compiled->Warnings().size(), read->Warnings().size());
    for (std::size_t i = 0; i < read->Warnings().size(); ++i) {
        EXPECT_EQ(compiled->Warnings()[i].ToString(), read->Warnings()[i].ToString());
    }
}

} // namespace
