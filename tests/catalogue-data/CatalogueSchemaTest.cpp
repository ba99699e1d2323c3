// The schema of the catalogue file, applied by Xerces-C: it takes the default catalogue and what
// the export writes, and refuses each malformed file of the corpus in schema/invalid/.
#include "CatalogueFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

std::string ErrorsOf(const std::string& path) {
    std::string errors;
    for (const std::string& error : CatalogueData::SchemaErrors(path)) {
        errors += error + "\n";
    }
    return errors;
}

TEST(CatalogueSchema, AcceptsTheDefaultCatalogueAndWhatTheExportWrites) {
    EXPECT_EQ(ErrorsOf(ORV_DEFAULT_CATALOGUE), "");
    for (const char* name :
         {"ExportedCatalogue", "ExportedUnitSystem", "EmptyCatalogue", "ExactDefinitions"}) {
        const std::string path = std::string(ORV_SCHEMA_SAMPLES) + "/valid/" + name + ".xml";
        ASSERT_TRUE(std::ifstream(path).good()) << path;
        EXPECT_EQ(ErrorsOf(path), "") << name;
    }
}

// Each file differs from valid/ExactDefinitions.xml by the one fault in its name.
TEST(CatalogueSchema, RefusesEachMalformedFile) {
    for (const char* fault :
         {"AliasRepeatsAUnitSymbol", "AliasWithChildren", "BaseUnitNotInTheFile",
          "DimensionAfterUnitSystem", "DuplicateMeasurement", "DuplicateUnitSymbol",
          "DuplicateUnitSystem", "EmptyDefinition", "ExponentInDefinition",
          "MappingWithoutMeasurement", "MeasurementAfterUnit", "NonNumericScale",
          "PlusSignInDefinition", "UnitWithoutDesc", "UnknownAttribute", "UnknownElement",
          "UnnamedDimension", "WrongRoot"}) {
        const std::string path = std::string(ORV_SCHEMA_SAMPLES) + "/invalid/" + fault + ".xml";
        ASSERT_TRUE(std::ifstream(path).good()) << path;
        EXPECT_NE(ErrorsOf(path), "") << fault << " was accepted";
    }
}

} // namespace
