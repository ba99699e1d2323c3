#include "CatalogueFile.h"

#include "XercesSupport.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>

#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace CatalogueData {

namespace {

using xercesc::DOMElement;
using xercesc::DOMNode;

std::optional<std::string> Attribute(const DOMElement& element, const char* name) {
    const xercesc::DOMAttr* node = element.getAttributeNode(Wide(name).c_str());
    if (node == nullptr) {
        return std::nullopt;
    }
    return Utf8(node->getValue());
}

std::string Required(const DOMElement& element, const char* name) {
    auto value = Attribute(element, name);
    if (!value) {
        throw std::runtime_error("element " + Utf8(element.getTagName()) + " has no " + name);
    }
    return *value;
}

std::vector<const DOMElement*> Children(const DOMElement& parent) {
    std::vector<const DOMElement*> children;
    for (const DOMNode* node = parent.getFirstChild(); node != nullptr;
         node = node->getNextSibling()) {
        if (node->getNodeType() == DOMNode::ELEMENT_NODE) {
            children.push_back(static_cast<const DOMElement*>(node));
        }
    }
    return children;
}

std::string Name(const DOMElement& element) {
    return Utf8(element.getTagName());
}

void Refuse(const std::string& what) {
    throw std::runtime_error("unexpected " + what + " in the catalogue file");
}

std::vector<std::string> SplitBlanks(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

void ReadDimension(const DOMElement& element, CatalogueFile& file) {
    DimensionEntry dimension{Required(element, "name"), Attribute(element, "baseUnit")};
    for (const DOMElement* child : Children(element)) {
        const std::string tag = Name(*child);
        if (tag == "Measurement") {
            MeasurementEntry measurement{Required(*child, "name"), dimension.name, {}, false};
            if (auto units = Attribute(*child, "units")) {
                measurement.units = SplitBlanks(*units);
                measurement.hasUnitsAttribute = true;
            }
            file.measurements.push_back(std::move(measurement));
        } else if (tag == "Unit") {
            UnitEntry unit;
            unit.symbol = Required(*child, "name");
            unit.desc = Required(*child, "desc");
            unit.dimension = dimension.name;
            unit.standardForm = unit.symbol;
            unit.A = Attribute(*child, "A");
            unit.B = Attribute(*child, "B");
            unit.C = Attribute(*child, "C");
            unit.D = Attribute(*child, "D");
            unit.scale = Attribute(*child, "scale");
            unit.offset = Attribute(*child, "offset");
            file.units.push_back(unit);
            for (const DOMElement* alias : Children(*child)) {
                if (Name(*alias) != "Alias") {
                    Refuse(Name(*alias) + " under Unit " + unit.symbol);
                }
                UnitEntry entry = unit;
                entry.symbol = Required(*alias, "name");
                entry.desc = Required(*alias, "desc");
                entry.isAlias = true;
                file.units.push_back(std::move(entry));
            }
        } else {
            Refuse(tag + " under Dimension " + dimension.name);
        }
    }
    file.dimensions.push_back(std::move(dimension));
}

void ReadUnitSystem(const DOMElement& element, CatalogueFile& file) {
    UnitSystemEntry system{Required(element, "name"), {}};
    for (const DOMElement* child : Children(element)) {
        if (Name(*child) != "UnitMapping") {
            Refuse(Name(*child) + " under UnitSystem " + system.name);
        }
        system.mappings.push_back({Required(*child, "measurement"), Attribute(*child, "unit")});
    }
    file.systems.push_back(std::move(system));
}

template <typename Entry>
const Entry* FindByName(const std::vector<Entry>& entries, const std::string& name) {
    for (const Entry& entry : entries) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

long double ParseDecimal(const std::string& text) {
    std::size_t digits = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (!(c == '-' && i == 0) && c != '.') {
            throw std::invalid_argument("not a plain decimal: '" + text + "'");
        }
    }
    if (digits == 0) {
        throw std::invalid_argument("not a plain decimal: '" + text + "'");
    }
    return std::strtold(text.c_str(), nullptr);
}

long double UnitEntry::ToBase(long double x) const {
    const long double a = A ? ParseDecimal(*A) : 0.0L;
    const long double b = B ? ParseDecimal(*B) : 1.0L;
    const long double c = C ? ParseDecimal(*C) : 1.0L;
    const long double d = D ? ParseDecimal(*D) : 0.0L;
    return (a + b * x) / (c + d * x);
}

bool UnitEntry::IsLinear() const {
    return !D || ParseDecimal(*D) == 0.0L;
}

bool UnitEntry::IsIdentity() const {
    return IsLinear() && (!A || ParseDecimal(*A) == 0.0L) &&
           (B ? ParseDecimal(*B) : 1.0L) == (C ? ParseDecimal(*C) : 1.0L);
}

CatalogueFile CatalogueFile::Load(const std::string& path) {
    XercesSession session;
    xercesc::XercesDOMParser parser;
    CollectingErrorHandler errors;
    parser.setErrorHandler(&errors);
    xercesc::LocalFileInputSource source(Wide(path).c_str());
    parser.parse(source);
    if (!errors.messages.empty()) {
        throw std::runtime_error(path + ": " + errors.messages.front());
    }
    const DOMElement* root = parser.getDocument()->getDocumentElement();
    if (root == nullptr || Name(*root) != "UnitCatalog") {
        Refuse("root element");
    }
    CatalogueFile file;
    for (const DOMElement* child : Children(*root)) {
        const std::string tag = Name(*child);
        if (tag == "Dimension") {
            ReadDimension(*child, file);
        } else if (tag == "UnitSystem") {
            ReadUnitSystem(*child, file);
        } else {
            Refuse(tag);
        }
    }
    return file;
}

const UnitEntry* CatalogueFile::FindUnit(const std::string& symbol) const {
    for (const UnitEntry& unit : units) {
        if (unit.symbol == symbol) {
            return &unit;
        }
    }
    return nullptr;
}

const MeasurementEntry* CatalogueFile::FindMeasurement(const std::string& name) const {
    return FindByName(measurements, name);
}

const DimensionEntry* CatalogueFile::FindDimension(const std::string& name) const {
    return FindByName(dimensions, name);
}

const UnitSystemEntry* CatalogueFile::FindSystem(const std::string& name) const {
    return FindByName(systems, name);
}

const CatalogueFile& DefaultCatalogue() {
    static const CatalogueFile file = CatalogueFile::Load(ORV_DEFAULT_CATALOGUE);
    return file;
}

} // namespace CatalogueData
