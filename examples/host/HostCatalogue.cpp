#include "Host.h"

using Orv::Pim::Core::Service::Units::Reader::InMemoryUnitReader;

void FillCatalogue(InMemoryUnitReader& reader) {
    // Lengths, with the exact factors of the international yard and pound agreement.
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "metre", "Length", 1.0);
    reader.AddUnit("km", "kilometre", "Length", 1000.0);
    reader.AddUnit("ft", "foot", "Length", 0.3048);
    reader.AddUnit("in", "inch", "Length", 0.0254);
    reader.AddUnit("mi", "mile", "Length", 1609.344);
    reader.AddMeasurement("Length", "Length");
    reader.AddMeasurement("Depth", "Length", {"m", "ft"});

    // Plain numbers: the measurement every value made without one gets, and the dimension whose
    // values may scale others.
    reader.AddDimension("Dimensionless", "1");
    reader.AddUnit("1", "one", "Dimensionless", 1.0);
    reader.AddUnit("%", "percent", "Dimensionless", 0.01);
    reader.AddMeasurement("Unitless", "Dimensionless");

    // Two unit systems; "Metric" is current until the host picks another.
    reader.AddUnitSystem("Metric");
    reader.AddUnitSystem("Imperial");
    reader.SetUnitOfMeasurement("Metric", "Depth", "m");
    reader.SetUnitOfMeasurement("Metric", "Length", "m");
    reader.SetUnitOfMeasurement("Imperial", "Depth", "ft");
    reader.SetUnitOfMeasurement("Imperial", "Length", "ft");
}
