// Writes the catalogue, or one unit system, to an XML file with the root "UnitCatalog".
#pragma once

#include <units/UnitsExport.h>

#include <string>

namespace Orv::Pim::Core::Service::XML {
class XMLDocument;
class XMLElement;
} // namespace Orv::Pim::Core::Service::XML

namespace Orv::Pim::Core::Service::Units {

class Dimension;
class Measurement;
class Unit;
class UnitSystem;

/// Builds an XML document from the catalogue and writes it to a file.
class ORV_UNITS_API XmlUnitWriter {
public:
    /// Makes the XML library ready.
    XmlUnitWriter();
    ~XmlUnitWriter();
    /// Copies the document pointer.
    XmlUnitWriter& operator=(XmlUnitWriter const& other);

    /// Writes every dimension that has measurements, with its measurements, units and aliases,
    /// then every unit system. A catalogue failure half way ends the document there, which is
    /// still written. Throws std::runtime_error when the document or file cannot be made.
    void SaveXmlFile(std::string const& path);
    /// Writes one unit system (nothing under the root for null), as above.
    void SaveXmlFile(std::string const& path, UnitSystem* system);

private:
    void WriteUnitCatalog();
    void WriteDimension(Dimension* dimension);
    void WriteMeasurement(Measurement const* measurement, XML::XMLElement& parent);
    void WriteUnit(Unit* unit, XML::XMLElement& parent);
    void WriteAlias(Unit const* alias, XML::XMLElement& parent);
    void WriteUnitSystems();
    void WriteUnitSystem(UnitSystem* system);

    XML::XMLDocument* m_pDocument;
};

} // namespace Orv::Pim::Core::Service::Units
