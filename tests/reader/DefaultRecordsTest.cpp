// The default reader is built from records compiled from data/DefaultCatalogue.xml at build time.
// Whatever the compiled form, it must give exactly what reading that file gives.
#include "ReaderRecords.h"

#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

using Orv::Pim::Core::Service::Units::Reader::XmlUnitReader;
using reader_testing::Records;

TEST(DefaultReader, GivesANewReaderWithExactlyTheRecordsOfTheCatalogueFile) {
    std::ifstream file(ORV_DEFAULT_CATALOGUE_FILE, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    // The name the compiled records carry in their warnings.
    const auto expected = Records(*XmlUnitReader::FromText(text.str(), "DefaultCatalogue.xml"));
    const auto compiled = Records(*XmlUnitReader::Default());
    // Each call gives a new reader, sharing nothing with the others.
    EXPECT_NE(XmlUnitReader::Default()->GetUnitSpec("m"),
              XmlUnitReader::Default()->GetUnitSpec("m"));
    ASSERT_GT(expected.size(), 1000u);
    for (std::size_t i = 0; i < std::max(expected.size(), compiled.size()); ++i) {
        ASSERT_EQ(i < compiled.size() ? compiled[i] : "(none)",
                  i < expected.size() ? expected[i] : "(none)")
            << "record " << i;
    }
}
