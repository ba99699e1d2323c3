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
}
