// Catalogues written to attack the reader: they must be refused, quickly, without reading any
// other file and without exhausting the stack or memory.
#include "CatalogueTesting.h"

#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Orv::Pim::Core::Service::Units;
using Reader::CatalogueError;
using Reader::CatalogueProblem;
using Reader::XmlUnitReader;
using reader_testing::ProblemsOf;

namespace {

// What the files next to a hostile catalogue hold. If any of it turns up in a record or a
// message, the reader has read a file it was not given.
const char* const kSecret = "SECRET-5d1e0c";

/// A directory with a file "secret.txt" and a DTD "secret.dtd" holding kSecret.
std::string DirectoryWithSecrets() {
    const std::string directory = reader_testing::ScratchDirectory();
    reader_testing::WriteFile(directory + "/secret.txt", kSecret);
    reader_testing::WriteFile(directory + "/secret.dtd",
                              std::string("<!ENTITY leak \"") + kSecret + "\">");
    return directory;
}

/// Reads `text` as the file `name` in `directory` and returns what refused it.
std::string RefusalOfFile(const std::string& directory, const std::string& name,
                          const std::string& text) {
    const std::string path = directory + "/" + name;
    reader_testing::WriteFile(path, text);
    try {
        const auto reader = XmlUnitReader::FromFile(path);
        std::string everything;
        for (const auto* unit : reader->GetAllUnitSpecs()) {
            everything += unit->symbol + " " + unit->name + "\n";
        }
        ADD_FAILURE() << "the catalogue was read: " << everything;
        return everything;
    } catch (const CatalogueError& error) {
        return error.what();
    }
}

} // namespace

TEST(HostileCatalogue, RefusesADoctypeEvenWithoutEntities) {
    const std::vector<CatalogueProblem> problems =
        ProblemsOf("<?xml version=\"1.0\"?>\n<!DOCTYPE UnitCatalog>\n<UnitCatalog/>\n");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_NE(problems[0].message.find("DOCTYPE"), std::string::npos);
}

TEST(HostileCatalogue, RefusesADoctypeInAUtf16Catalogue) {
    // Markup that is not ASCII: Xerces itself must stop at the declaration.
    const std::string ascii = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
                              "<!DOCTYPE UnitCatalog [<!ENTITY e \"x\">]>\n<UnitCatalog/>\n";
    std::string utf16 = "\xFF\xFE";
    for (const char c : ascii) {
        utf16 += c;
        utf16 += '\0';
    }
    const std::vector<CatalogueProblem> problems = ProblemsOf(utf16);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_NE(problems[0].message.find("DOCTYPE"), std::string::npos);
}

TEST(HostileCatalogue, NeverReadsAFileThatAnExternalEntityNames) {
    const std::string directory = DirectoryWithSecrets();
    const std::string refusal =
        RefusalOfFile(directory, "entity.xml",
                      "<?xml version=\"1.0\"?>\n"
                      "<!DOCTYPE UnitCatalog [<!ENTITY leak SYSTEM \"secret.txt\">]>\n"
                      "<UnitCatalog><Dimension name=\"&leak;\" baseUnit=\"m\"/></UnitCatalog>\n");
    EXPECT_EQ(refusal.find(kSecret), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("DOCTYPE"), std::string::npos) << refusal;
}

TEST(HostileCatalogue, NeverReadsAnExternalDtdOrParameterEntity) {
    const std::string directory = DirectoryWithSecrets();
    const std::string external =
        RefusalOfFile(directory, "external.xml",
                      "<!DOCTYPE UnitCatalog SYSTEM \"secret.dtd\">\n"
                      "<UnitCatalog><UnitSystem name=\"&leak;\"/></UnitCatalog>\n");
    EXPECT_EQ(external.find(kSecret), std::string::npos) << external;
    const std::string parameter =
        RefusalOfFile(directory, "parameter.xml",
                      "<!DOCTYPE UnitCatalog [<!ENTITY % p SYSTEM \"secret.dtd\"> %p;]>\n"
                      "<UnitCatalog><UnitSystem name=\"&leak;\"/></UnitCatalog>\n");
    EXPECT_EQ(parameter.find(kSecret), std::string::npos) << parameter;
}

TEST(HostileCatalogue, IgnoresASchemaLocationThatWouldAllowMore) {
    // A schema next to the catalogue that accepts anything: following the hint would accept the
    // unknown element.
    const std::string directory = DirectoryWithSecrets();
    reader_testing::WriteFile(directory + "/lax.xsd",
                              "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
                              "<xs:element name=\"UnitCatalog\"><xs:complexType><xs:sequence>"
                              "<xs:any processContents=\"skip\" minOccurs=\"0\" "
                              "maxOccurs=\"unbounded\"/></xs:sequence></xs:complexType>"
                              "</xs:element></xs:schema>");
    const std::string refusal =
        RefusalOfFile(directory, "hint.xml",
                      "<UnitCatalog xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                      "xsi:noNamespaceSchemaLocation=\"lax.xsd\"><Secret/></UnitCatalog>\n");
    EXPECT_NE(refusal.find("Secret"), std::string::npos) << refusal;
}

TEST(HostileCatalogue, RefusesAnEntityExpansionBombAtOnce) {
    std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE UnitCatalog [\n"
                       "<!ENTITY a0 \"aaaaaaaaaa\">\n";
    for (int i = 1; i < 10; ++i) {
        text += "<!ENTITY a" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) {
            text += "&a" + std::to_string(i - 1) + ";";
        }
        text += "\">\n";
    }
    text += "]>\n<UnitCatalog><UnitSystem name=\"&a9;\"/></UnitCatalog>\n";

    const std::vector<CatalogueProblem> problems = ProblemsOf(text);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].message.find("DOCTYPE"), std::string::npos);
}

TEST(HostileCatalogue, RefusesATenMegabyteAttributeWithAShortMessage) {
    const std::string huge(10 * 1024 * 1024, '7');
    const std::string text = "<UnitCatalog><Dimension name=\"Length\" baseUnit=\"m\">"
                             "<Unit name=\"m\" desc=\"metre\" scale=\"" +
                             huge + "\" offset=\"0\"/></Dimension></UnitCatalog>";

    try {
        XmlUnitReader::FromText(text, "huge.xml");
        FAIL() << "a 10 MB coefficient was read";
    } catch (const CatalogueError& error) {
        EXPECT_FALSE(error.Problems().empty());
        EXPECT_LT(std::string(error.what()).size(), 4096u);
    }
}

TEST(HostileCatalogue, RefusesAHundredThousandNestedElementsWithoutRecursing) {
    constexpr int kDepth = 100000;
    std::string text = "<UnitCatalog><Dimension name=\"Length\" baseUnit=\"m\">";
    for (int i = 0; i < kDepth; ++i) {
        text += "<Unit name=\"u\">";
    }
    for (int i = 0; i < kDepth; ++i) {
        text += "</Unit>";
    }
    text += "</Dimension></UnitCatalog>";

    const std::vector<CatalogueProblem> problems = ProblemsOf(text);
    ASSERT_FALSE(problems.empty());
    EXPECT_LE(problems.size(), 200u);
}

TEST(HostileCatalogue, StopsListingAfterTwoHundredProblems) {
    std::string text = "<UnitCatalog><Dimension name=\"Length\" baseUnit=\"m\">"
                       "<Unit name=\"m\" scale=\"1\" offset=\"0\"/></Dimension>"
                       "<UnitSystem name=\"Metric\">";
    for (int i = 0; i < 5000; ++i) {
        text += "<UnitMapping measurement=\"M" + std::to_string(i) + "\"/>";
    }
    text += "</UnitSystem></UnitCatalog>";

    const std::vector<CatalogueProblem> problems = ProblemsOf(text);
    ASSERT_EQ(problems.size(), 200u);
    EXPECT_NE(problems.back().message.find("too many problems"), std::string::npos);
}
