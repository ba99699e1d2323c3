#include "Session.h"

#include "Output.h"

#include <units/UnitService.h>
#include <units/reader/XmlUnitReader.h>

#include <algorithm>
#include <memory>
#include <ostream>

namespace Orv::UnitsTool {

namespace Units = Orv::Pim::Core::Service::Units;
using Units::Reader::CatalogueError;
using Units::Reader::XmlUnitReader;

namespace {

// The registered reader and where it came from. The library keeps a pointer to the reader and
// its catalogue objects are built from it, so it lives as long as the process or until a later
// run registers another.
struct RegisteredCatalogue {
    std::unique_ptr<XmlUnitReader> reader;
    std::vector<std::string> paths; // the catalogue ("" for the default one), then its layers
};

RegisteredCatalogue& Registered() {
    static RegisteredCatalogue registered;
    return registered;
}

// `check` is the command that lists every problem of the file, without its path.
std::string RefusalMessage(const std::string& path, const CatalogueError& error,
                           const std::string& check = "orvunits check ") {
    // The first error tells why; warnings alone would not have refused the file.
    const auto& problems = error.Problems();
    const auto first = std::find_if(problems.begin(), problems.end(),
                                    [](const auto& problem) { return !problem.warning; });
    if (first == problems.end()) {
        return "refused catalogue '" + path + "': " + error.what();
    }
    std::string message = "refused catalogue: " + first->ToString();
    if (problems.size() > 1) {
        message += " (and " + std::to_string(problems.size() - 1) + " more; '" + check + path +
                   "' lists them all)";
    }
    return message;
}

} // namespace

Session::Session(const GlobalOptions& options, std::istream& in, std::ostream& out,
                 std::ostream& err)
    : m_options(options), m_in(in), m_out(out), m_err(err) {}

std::unique_ptr<XmlUnitReader> Session::ReadBase() const {
    if (m_options.cataloguePath.empty()) {
        return XmlUnitReader::Default();
    }
    try {
        return XmlUnitReader::FromFile(m_options.cataloguePath);
    } catch (const CatalogueError& error) {
        throw InputError(RefusalMessage(m_options.cataloguePath, error));
    }
}

XmlUnitReader& Session::Catalogue() {
    if (m_pCatalogue != nullptr) {
        return *m_pCatalogue;
    }
    RegisteredCatalogue& registered = Registered();
    std::vector<std::string> paths{m_options.cataloguePath};
    paths.insert(paths.end(), m_options.catalogueAdds.begin(), m_options.catalogueAdds.end());
    if (!registered.reader || registered.paths != paths) {
        std::unique_ptr<XmlUnitReader> reader = ReadBase();
        // The file that names the warnings: the top layer, which was checked with all below it.
        std::string top = paths.back();
        if (!m_options.catalogueAdds.empty()) {
            try {
                reader = XmlUnitReader::FromLayers(*reader, m_options.catalogueAdds);
            } catch (const CatalogueError& error) {
                const auto& problems = error.Problems();
                throw InputError(RefusalMessage(problems.empty() ? m_options.catalogueAdds.back()
                                                                 : problems.front().source,
                                                error, "orvunits check --layer "));
            }
        }
        // Register the new reader before the old one goes, so the library never holds a
        // pointer to a destroyed reader.
        if (const std::size_t count = reader->Warnings().size()) {
            ReportWarning(m_err, Json(),
                          "the catalogue " + top + " has " + std::to_string(count) + " warning" +
                              (count == 1 ? "" : "s") + "; 'orvunits check " + top +
                              "' lists them");
        }
        Units::UnitService::UnitReader(reader.get());
        registered.reader = std::move(reader);
        registered.paths = std::move(paths);
    } else {
        Units::UnitService::UnitReader(registered.reader.get());
    }
    m_pCatalogue = registered.reader.get();
    return *m_pCatalogue;
}

} // namespace Orv::UnitsTool
