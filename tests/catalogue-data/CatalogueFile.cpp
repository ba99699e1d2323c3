#include "CatalogueFile.h"

#include "XmlReadBack.h"

#include <sstream>

namespace CatalogueData {

long double UnitEntry::ToBase(long double x) const {
    const auto value = [](const std::optional<std::string>& text, long double otherwise) {
        return text ? std::strtold(text->c_str(), nullptr) : otherwise;
    };
    return (value(A, 0.0L) + value(B, 1.0L) * x) / (value(C, 1.0L) + value(D, 0.0L) * x);
}

CatalogueFile CatalogueFile::Load(const std::string& path) {
    // The schema leaves only the elements and attributes of the format to read.
    CatalogueFile file;
    for (const orv_testing::XmlNode& parent :
         orv_testing::ReadXmlFile(path, ORV_CATALOGUE_SCHEMA).children) {
        const std::string name = *parent.Attribute("name");
        if (parent.name == "UnitSystem") {
            file.systems.push_back({name, {}});
            for (const orv_testing::XmlNode& mapping : parent.children) {
                file.systems.back().mappings.emplace_back(*mapping.Attribute("measurement"),
                                                          mapping.Attribute("unit"));
            }
            continue;
        }
        file.dimensions.push_back({name, parent.Attribute("baseUnit").value_or("")});
        for (const orv_testing::XmlNode& child : parent.children) {
            if (child.name == "Measurement") {
                std::istringstream units(child.Attribute("units").value_or(""));
                file.measurements.push_back({*child.Attribute("name"), name, {}});
                for (std::string symbol; units >> symbol;) {
                    file.measurements.back().units.push_back(symbol);
                }
                continue;
            }
            const auto attribute = [&](const char* key) { return child.Attribute(key); };
            file.units.push_back({*attribute("name"), *attribute("desc"), name, false,
                                  attribute("A"), attribute("B"), attribute("C"), attribute("D"),
                                  attribute("scale"), attribute("offset")});
            for (const orv_testing::XmlNode& alias : child.children) {
                file.units.push_back(file.units.back());
                file.units.back().symbol = *alias.Attribute("name");
                file.units.back().desc = *alias.Attribute("desc");
                file.units.back().isAlias = true;
            }
        }
    }
    return file;
}

const CatalogueFile& DefaultCatalogue() {
    static const CatalogueFile file = CatalogueFile::Load(ORV_DEFAULT_CATALOGUE);
    return file;
}

} // namespace CatalogueData
