// GNU units, the independent units database the catalogue and unit expressions are checked
// against, run as a program.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace CatalogueData {

/// True when the program `units` is installed.
bool HaveGnuUnits();

/// GNU units' answer for each pair (from, to): the value of `from` in `to` as text with 17
/// significant digits, or an error message in its place (which shifts the answers after it).
std::vector<std::string>
GnuConvertAll(const std::vector<std::pair<std::string, std::string>>& pairs);

/// True when `text` is a number, whole; sets `value`.
bool ParseNumber(const std::string& text, double& value);

} // namespace CatalogueData
