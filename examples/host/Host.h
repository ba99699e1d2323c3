// The example host program's parts: one function per topic, all over one in-memory catalogue.
#pragma once

#include <units/reader/InMemoryUnitReader.h>

/// Fills the host's reader with its dimensions, units, measurements and unit systems.
void FillCatalogue(Orv::Pim::Core::Service::Units::Reader::InMemoryUnitReader& reader);

/// Looks up length units and prints them in the catalogue's sort order.
void ShowLengthUnits();

/// Switches the current unit system between "Metric" and "Field", watching its change event, and
/// overrides one measurement in a local unit system.
void ShowUnitSystems();

/// Parses, prints, adds and scales depths, and shows a refused addition.
void ShowQuantities();

/// Writes the catalogue, and one unit system on its own, to XML files in the temporary folder.
void ExportCatalogue();
