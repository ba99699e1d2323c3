// What the tool adds to the library's "not found" message for a unit: where the text stops being
// a unit expression, why, and the symbols the user may have meant.
#pragma once

#include <string>

namespace Orv::UnitsTool {

class Session;

/// `message` with the reader's explanation appended when it is the library's message for a unit
/// symbol it could not find; `message` unchanged otherwise.
std::string WithUnitHint(Session& session, const std::string& message);

/// The reader's explanation of why `symbol` is not a unit, such as
/// "at character 1: unknown unit "fet"; did you mean ft?"; empty when it is one.
std::string UnitHint(Session& session, const std::string& symbol);

} // namespace Orv::UnitsTool
