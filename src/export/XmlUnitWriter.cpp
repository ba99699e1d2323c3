// The XML catalogue writer: dimensions with their measurements, units and aliases, then unit
// systems with the unit each gives every measurement, under the root "UnitCatalog".
#include <units/Dimension.h>
#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>
#include <units/XmlUnitWriter.h>
#include <units/converter/Engines.h>
#include <units/xml/XmlDocument.h>

#include <exception>
#include <locale>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units {

namespace {

char const kRootName[] = "UnitCatalog";

// A number as a default output stream writes it: general notation, 6 significant digits. The
// classic locale keeps the file independent of the host's global locale (a decimal comma would
// make the file unreadable for other hosts).
std::string FormatNumber(double value) {
    // The inverse of an engine without offset reports an offset of -0 (the negated quotient of
    // 0 and the scale); the file says 0.
    if (value == 0.0) {
        value = 0.0;
    }
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

// Makes a new document in `document`, lets `build` fill it, and writes it to `path`. A standard
// exception while building ends the building but not the save: what was built so far is still
// written. Only a document that could not be made at all fails the save.
template <typename Build>
void BuildAndWrite(XML::XMLDocument*& document, std::string const& path, Build build) {
    try {
        document = new XML::XMLDocument(kRootName);
        build();
    } catch (std::exception const&) {
        if (document == nullptr) {
            throw std::runtime_error("Problem in Memory Allocation.");
        }
    } catch (...) {
        delete document;
        document = nullptr;
        throw;
    }
    if (document == nullptr) {
        return;
    }
    // The writer keeps no document once the save is over, whether or not the write succeeds.
    std::unique_ptr<XML::XMLDocument> written(document);
    document = nullptr;
    written->write(path.c_str(), nullptr, nullptr);
}

} // namespace

XmlUnitWriter::XmlUnitWriter() {
    XML::Initialise::Init();
    m_pDocument = nullptr;
}

XmlUnitWriter::~XmlUnitWriter() {
    m_pDocument = nullptr;
}

XmlUnitWriter& XmlUnitWriter::operator=(XmlUnitWriter const& other) {
    m_pDocument = other.m_pDocument;
    return *this;
}

void XmlUnitWriter::SaveXmlFile(std::string const& path) {
    BuildAndWrite(m_pDocument, path, [this] { WriteUnitCatalog(); });
}

void XmlUnitWriter::SaveXmlFile(std::string const& path, UnitSystem* system) {
    BuildAndWrite(m_pDocument, path, [this, system] { WriteUnitSystem(system); });
}

void XmlUnitWriter::WriteUnitCatalog() {
    if (m_pDocument == nullptr) {
        return;
    }
    // A dimension is written once, where its first measurement (in name order) comes; one
    // without measurements is not written at all.
    std::set<Dimension const*> seen;
    for (Measurement* measurement : Measurement::GetAllMeasurements()) {
        if (measurement == nullptr) {
            continue;
        }
        Dimension* dimension = measurement->GetDimension();
        if (seen.insert(dimension).second) {
            WriteDimension(dimension);
        }
    }
    WriteUnitSystems();
}

void XmlUnitWriter::WriteDimension(Dimension* dimension) {
    if (m_pDocument == nullptr || dimension == nullptr) {
        return;
    }
    XML::XMLElement element(*m_pDocument->m_pRoot, "Dimension");
    element.setAttribute("name", dimension->Name().c_str());
    if (Unit* baseUnit = dimension->BaseUnit()) {
        element.setAttribute("baseUnit", baseUnit->Symbol().c_str());
    }
    for (Measurement* measurement : Measurement::GetAllMeasurements()) {
        if (measurement != nullptr && measurement->GetDimension() == dimension) {
            WriteMeasurement(measurement, element);
        }
    }
    for (Unit* unit : Unit::GetAllUnits(dimension)) {
        // Aliases are written under their standard form, never on their own.
        if (unit != nullptr && unit->StandardForm() == unit) {
            WriteUnit(unit, element);
        }
    }
}

void XmlUnitWriter::WriteMeasurement(Measurement const* measurement, XML::XMLElement& parent) {
    if (m_pDocument == nullptr || measurement == nullptr) {
        return;
    }
    XML::XMLElement element(parent, "Measurement");
    element.setAttribute("name", measurement->Name().c_str());
}

void XmlUnitWriter::WriteUnit(Unit* unit, XML::XMLElement& parent) {
    if (m_pDocument == nullptr || unit == nullptr) {
        return;
    }
    // Only linear units can be described by a scale and an offset; the others are left out,
    // together with their aliases.
    Converter::IUnitConverterEngine* engine = unit->Converter();
    if (engine == nullptr || engine->m_eType != Converter::e_LinearEngine) {
        return;
    }
    // The unit's engine goes from the unit to the base unit; the file describes the way back.
    std::unique_ptr<Converter::IUnitConverterEngine> inverse = engine->GetInverse();
    auto* linearInverse = dynamic_cast<Converter::LinearUnitConverter*>(inverse.get());
    if (linearInverse == nullptr) {
        return;
    }
    double scale = 0.0;
    double offset = 0.0;
    linearInverse->GetScaleAndOffset(scale, offset);
    const std::string scaleText = FormatNumber(scale);
    const std::string offsetText = FormatNumber(offset);

    XML::XMLElement element(parent, "Unit");
    element.setAttribute("name", unit->Symbol().c_str());
    element.setAttribute("desc", unit->Name().c_str());
    element.setAttribute("scale", scaleText.c_str());
    element.setAttribute("offset", offsetText.c_str());
    for (Unit* alias : Unit::GetAllUnits(unit)) {
        if (alias != unit) {
            WriteAlias(alias, element);
        }
    }
}

void XmlUnitWriter::WriteAlias(Unit const* alias, XML::XMLElement& parent) {
    if (m_pDocument == nullptr || alias == nullptr) {
        return;
    }
    XML::XMLElement element(parent, "Alias");
    element.setAttribute("name", alias->Symbol().c_str());
    element.setAttribute("desc", alias->Name().c_str());
}

void XmlUnitWriter::WriteUnitSystems() {
    if (m_pDocument == nullptr) {
        return;
    }
    // The handle keeps the registry alive while its unit systems are written.
    UnitSystemArray systems = UnitSystem::UnitSystems();
    const std::size_t count = UnitSystemArray::m_unitSystemPtrCache.size();
    for (std::size_t index = 0; index < count; ++index) {
        if (UnitSystem* system = UnitSystemArray::m_unitSystemPtrCache[index]) {
            WriteUnitSystem(system);
        }
    }
}

void XmlUnitWriter::WriteUnitSystem(UnitSystem* system) {
    if (m_pDocument == nullptr || system == nullptr) {
        return;
    }
    XML::XMLElement element(*m_pDocument->m_pRoot, "UnitSystem");
    element.setAttribute("name", system->Name().c_str());
    for (Measurement* measurement : Measurement::GetAllMeasurements()) {
        if (measurement == nullptr) {
            continue;
        }
        XML::XMLElement mapping(element, "UnitMapping");
        mapping.setAttribute("measurement", measurement->Name().c_str());
        if (Unit* unit = system->GetUnitOfMeasurement(measurement)) {
            mapping.setAttribute("unit", unit->Symbol().c_str());
        }
    }
}

} // namespace Orv::Pim::Core::Service::Units
