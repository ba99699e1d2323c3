// The reader's Xerces-C side, built as a module that the reader library loads on first use: the
// catalogue parser, with the schema built in.
#include "../ModuleLoader.h"
#include "CatalogueText.h"

ORV_MODULE_ENTRY Orv::Pim::Core::Service::Units::Reader::Detail::ParserFunction*
orv_units_reader_parser() {
    return &Orv::Pim::Core::Service::Units::Reader::Detail::ParseCatalogue;
}
