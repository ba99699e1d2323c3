// The schema of the catalogue file, applied by Xerces-C: it takes the default catalogue and what
// the export writes, and refuses each malformed file of the corpus in schema/invalid/.

#include "XercesSupport.h"

#include <gtest/gtest.h>
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>

#include <fstream>
#include <string>
#include <vector>

namespace {

using CatalogueData::CollectingErrorHandler;
using CatalogueData::Wide;
using CatalogueData::XercesSession;

// The validation errors of one file against data/UnitCatalog.xsd; empty when it is valid.
std::vector<std::string> Validate(const std::string& path) {
    XercesSession session;
    CollectingErrorHandler errors;
    {
        xercesc::XercesDOMParser parser;
        parser.setErrorHandler(&errors);
        parser.setValidationScheme(xercesc::XercesDOMParser::Val_Always);
        parser.setDoNamespaces(true);
        parser.setDoSchema(true);
        parser.setValidationSchemaFullChecking(true);
        parser.setExternalNoNamespaceSchemaLocation(Wide(ORV_CATALOGUE_SCHEMA).c_str());
        xercesc::LocalFileInputSource source(Wide(path).c_str());
        parser.parse(source);
    }
    return errors.messages;
}

std::string Sample(const std::string& name) {
    return std::string(ORV_SCHEMA_SAMPLES) + "/" + name;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string joined;
    for (const auto& line : lines) {
        joined += line + "\n";
    }
    return joined;
}

TEST(CatalogueSchema, AcceptsTheDefaultCatalogue) {
    const auto errors = Validate(ORV_DEFAULT_CATALOGUE);
    EXPECT_TRUE(errors.empty()) << Join(errors);
}

TEST(CatalogueSchema, AcceptsWhatTheExportWritesAndTheExtras) {
    for (const char* name : {"valid/ExportedCatalogue.xml", "valid/ExportedUnitSystem.xml",
                             "valid/EmptyCatalogue.xml", "valid/ExactDefinitions.xml"}) {
        ASSERT_TRUE(std::ifstream(Sample(name)).good()) << name;
        const auto errors = Validate(Sample(name));
        EXPECT_TRUE(errors.empty()) << name << ":\n" << Join(errors);
    }
}

// Each file differs from valid/ExactDefinitions.xml by the one fault in its name.
TEST(CatalogueSchema, RefusesEachMalformedFile) {
    const char* const faults[] = {
        "AliasRepeatsAUnitSymbol", "AliasWithChildren",
        "BaseUnitNotInTheFile",    "DimensionAfterUnitSystem",
        "DuplicateMeasurement",    "DuplicateUnitSymbol",
        "DuplicateUnitSystem",     "EmptyDefinition",
        "ExponentInDefinition",    "MappingWithoutMeasurement",
        "MeasurementAfterUnit",    "NonNumericScale",
        "PlusSignInDefinition",    "UnitWithoutDesc",
        "UnknownAttribute",        "UnknownElement",
        "UnnamedDimension",        "WrongRoot",
    };
    for (const char* fault : faults) {
        const std::string path = Sample(std::string("invalid/") + fault + ".xml");
        ASSERT_TRUE(std::ifstream(path).good()) << path;
        EXPECT_FALSE(Validate(path).empty()) << fault << " was accepted";
    }
}

} // namespace
