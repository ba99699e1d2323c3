// What every command works with: the streams, the global options, the catalogue, and the two
// kinds of failure that decide the exit status.
#pragma once

#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units::Reader {
class XmlUnitReader;
}

namespace Orv::UnitsTool {

/// Bad input: an unknown name, a bad number, a refused catalogue. Exit status 1.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Bad usage that the command-line parser cannot see, such as options that exclude each other.
/// Exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The options that every command accepts.
struct GlobalOptions {
    std::string cataloguePath;              ///< empty for the default catalogue
    std::vector<std::string> catalogueAdds; ///< files laid over that catalogue, in order
    bool json = false;
};

/// One run of the tool.
class Session {
public:
    Session(const GlobalOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

    /// The catalogue below the added files: the default one or the --catalogue file. Throws
    /// InputError when the file is refused.
    std::unique_ptr<Orv::Pim::Core::Service::Units::Reader::XmlUnitReader> ReadBase() const;
    /// The files of --catalogue-add, in order.
    const std::vector<std::string>& Adds() const { return m_options.catalogueAdds; }

    /// Registers the catalogue with the library, once per run, and returns its reader. The reader
    /// is kept for the life of the process (the library's catalogue refers to it); a later run
    /// over another catalogue registers that one, and what the library has already built from the
    /// first stays in its catalogue. Throws InputError when the catalogue file is refused.
    Orv::Pim::Core::Service::Units::Reader::XmlUnitReader& Catalogue();

    /// True when results are wanted as JSON.
    bool Json() const { return m_options.json; }
    std::istream& In() { return m_in; }
    std::ostream& Out() { return m_out; }
    std::ostream& Err() { return m_err; }

private:
    GlobalOptions m_options;
    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    Orv::Pim::Core::Service::Units::Reader::XmlUnitReader* m_pCatalogue = nullptr;
};

} // namespace Orv::UnitsTool
