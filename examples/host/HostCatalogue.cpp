#include "Host.h"

using Orv::Pim::Core::Service::Units::Reader::InMemoryUnitReader;

void FillCatalogue(InMemoryUnitReader& reader) {
    // Lengths, with the exact factors of the international yard and pound agreement.
    reader.AddDimension("Length", "m");
    reader.AddUnit("m", "metre", "Length", 1.0);
    reader.AddUnit("km", "kilometre", "Length", 1000.0);
    reader.AddUnit("ft", "foot", "Length", 0.3048);
    reader.AddUnit("in", "inch", "Length", 0.0254);
    reader.AddUnit("mi", "mile", "Length", 1609.344);

    // Pressures and temperatures of a well, and the two unit systems an oil-field team works in.
    reader.AddDimension("Pressure", "Pa");
    reader.AddUnit("Pa", "pascal", "Pressure", 1.0);
    reader.AddUnit("kPa", "kilopascal", "Pressure", 1000.0);
    reader.AddUnit("bar", "bar", "Pressure", 100000.0);
    reader.AddUnit("psi", "pound per square inch", "Pressure", 6894.757293168361);
    reader.AddDimension("Temperature", "K");
    reader.AddUnit("K", "kelvin", "Temperature", 1.0);
    reader.AddUnit("degC", "degree Celsius", "Temperature", 1.0, 273.15);
    reader.AddUnit("degF", "degree Fahrenheit", "Temperature", 5.0 / 9.0, 459.67 * 5.0 / 9.0);
    reader.AddMeasurement("Depth", "Length");
    reader.AddMeasurement("Length", "Length");
    reader.AddMeasurement("Pressure", "Pressure");
    reader.AddMeasurement("Temperature", "Temperature");
    reader.AddUnitSystem("Metric");
    reader.AddUnitSystem("Field");
    reader.SetUnitOfMeasurement("Metric", "Depth", "m");
    reader.SetUnitOfMeasurement("Metric", "Pressure", "bar");
    reader.SetUnitOfMeasurement("Metric", "Temperature", "degC");
    reader.SetUnitOfMeasurement("Field", "Depth", "ft");
    reader.SetUnitOfMeasurement("Field", "Pressure", "psi");
    reader.SetUnitOfMeasurement("Field", "Temperature", "degF");

    // Plain numbers: "Unitless" is the measurement of every value made without one, and values of
    // the "Dimensionless" dimension are the ones that may scale others.
    reader.AddDimension("Dimensionless", "1");
    reader.AddUnit("1", "one", "Dimensionless", 1.0);
    reader.AddUnit("%", "percent", "Dimensionless", 0.01);
    reader.AddMeasurement("Unitless", "Dimensionless");
}
