// Quantities as text: parsing "12.5 ft" into base units and writing a value with its unit.
#include "BenchCatalogue.h"
#include "BenchCommon.h"

#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>

#include <benchmark/benchmark.h>

#include <string>

namespace Units = Orv::Pim::Core::Service::Units;

namespace {

void ParseQuantity(benchmark::State& state) {
    OrvBench::UseDefaultCatalogue();
    Units::Measurement* depth = Units::Measurement::GetMeasurement("Depth");
    const std::string text = "12.5 ft";
    delete &Units::UCDouble::Parse(text, depth); // builds the current unit system
    for (auto _ : state) {
        Units::UCDouble& value = Units::UCDouble::Parse(text, depth);
        benchmark::DoNotOptimize(value.BaseValue());
        delete &value;
    }
}
BENCHMARK(ParseQuantity)->Name("parse_quantity");

void FormatQuantity(benchmark::State& state) {
    OrvBench::UseDefaultCatalogue();
    const Units::UCDouble value(OrvBench::kSecondsToFormat,
                                Units::Measurement::GetMeasurement("Time"));
    const Units::Unit* unit = Units::Unit::GetUnit(OrvBench::kFormatSymbol);
    for (auto _ : state) {
        std::string text = value.ToString(unit);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(FormatQuantity)->Name("format_quantity");

} // namespace
