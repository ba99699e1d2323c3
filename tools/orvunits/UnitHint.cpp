#include "UnitHint.h"

#include "Output.h"
#include "Session.h"

#include <units/reader/XmlUnitReader.h>

#include <exception>
#include <optional>

namespace Orv::UnitsTool {

namespace Reader = Orv::Pim::Core::Service::Units::Reader;

std::string UnitHint(Session& session, const std::string& symbol) {
    try {
        const std::optional<Reader::UnitTextProblem> problem =
            session.Catalogue().ExplainMissingUnit(symbol);
        return problem ? OneLine(problem->ToString(), 500) : std::string();
    } catch (const std::exception&) {
        return std::string(); // no catalogue to explain with: the message stands alone
    }
}

std::string WithUnitHint(Session& session, const std::string& message) {
    // The library's message, built as "Could not find a Unit with symbol '" + symbol + "'!".
    static const std::string kStart = "Could not find a Unit with symbol '";
    static const std::string kEnd = "'!";
    if (message.size() < kStart.size() + kEnd.size() || message.compare(0, kStart.size(), kStart) ||
        message.compare(message.size() - kEnd.size(), kEnd.size(), kEnd)) {
        return message;
    }
    const std::string symbol =
        message.substr(kStart.size(), message.size() - kStart.size() - kEnd.size());
    const std::string hint = UnitHint(session, symbol);
    return hint.empty() ? message : message + " (" + hint + ")";
}

} // namespace Orv::UnitsTool
