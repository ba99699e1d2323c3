// Texts built into the reader library from data/ at build time (see EmbedText.cmake).
#pragma once

#include <cstddef>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

/// The XML schema of the catalogue format, data/UnitCatalog.xsd.
extern const char kCatalogueSchema[];
extern const std::size_t kCatalogueSchemaSize;

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
