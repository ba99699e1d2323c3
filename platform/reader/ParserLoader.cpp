// The catalogue parser as the reader library reaches it: through the Xerces-C module, loaded on
// first use, so that a host reading only the default catalogue never loads an XML parser.
#include "../ModuleLoader.h"
#include "CatalogueText.h"

#if defined(ORV_LINKED_MODULES)
// A static build links the module's code into the library.
ORV_MODULE_ENTRY Orv::Pim::Core::Service::Units::Reader::Detail::ParserFunction*
orv_units_reader_parser();
#endif

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

namespace {

// An address inside this library, to find the module beside it.
[[maybe_unused]] const char kAnchor = 0;

} // namespace

ParsedCatalogue ParseCatalogue(const std::string& bytes, const std::string& source,
                               const CatalogueLimits& limits) {
#if defined(ORV_LINKED_MODULES)
    static ParserFunction* const parse = orv_units_reader_parser();
#else
    // Loaded once, by the first caller, even when several threads come at once.
    static ParserFunction* const parse = Service::Detail::LoadModuleEntry<ParserEntry>(
        &kAnchor, ORV_READER_PARSER_FILE, kParserEntry)();
#endif
    return parse(bytes, source, limits);
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
