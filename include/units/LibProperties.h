// The library's seven descriptive properties, the same pairs as its version resource.
#pragma once

#include <units/UnitsExport.h>

namespace Orv::Pim::Core::Service::Units {

/// The number of properties: 7.
ORV_UNITS_API int getNumLibProperties();
/// Sets `key` and `value` to the pair at `index` (0 to 6); both to "" for any other index.
ORV_UNITS_API void getLibProperty(int index, char const*& key, char const*& value);

} // namespace Orv::Pim::Core::Service::Units
