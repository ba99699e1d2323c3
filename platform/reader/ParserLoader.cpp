// The catalogue parser as the reader library reaches it: through the Xerces-C module, loaded on
// first use, so that a host reading only the default catalogue never loads an XML parser.
#include "../ModuleLoader.h"
#include "CatalogueText.h"

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

namespace {

// An address inside this library, to find the module beside it.
const char kAnchor = 0;

} // namespace

ParsedCatalogue ParseCatalogue(const std::string& bytes, const std::string& source,
                               const CatalogueLimits& limits) {
    // Loaded once, by the first caller, even when several threads come at once.
    static ParserFunction* const parse = Service::Detail::LoadModuleEntry<ParserEntry>(
        &kAnchor, ORV_READER_PARSER_FILE, kParserEntry)();
    return parse(bytes, source, limits);
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
