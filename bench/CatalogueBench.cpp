// Catalogue look-ups and listings on the default catalogue, once everything looked up is built.
#include "BenchCatalogue.h"
#include "BenchCommon.h"

#include <units/Measurement.h>
#include <units/Unit.h>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace Units = Orv::Pim::Core::Service::Units;

namespace {

void LookupSymbol(benchmark::State& state) {
    OrvBench::UseDefaultCatalogue();
    // The symbols as a caller usually holds them: std::string objects made beforehand.
    std::vector<std::string> symbols(std::begin(OrvBench::kSymbols), std::end(OrvBench::kSymbols));
    for (const std::string& symbol : symbols) {
        Units::Unit::GetUnit(symbol);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Units::Unit::GetUnit(symbols[i]));
        i = i + 1 == symbols.size() ? 0 : i + 1;
    }
}
BENCHMARK(LookupSymbol)->Name("lookup_symbol");

void LookupMeasurement(benchmark::State& state) {
    OrvBench::UseDefaultCatalogue();
    std::vector<std::string> names = {"Length", "Depth", "Temperature", "Pressure",
                                      "Mass",   "Time",  "Velocity",    "Density",
                                      "Energy", "Power", "Force",       "Unitless"};
    for (const std::string& name : names) {
        Units::Measurement::GetMeasurement(name);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Units::Measurement::GetMeasurement(names[i]));
        i = i + 1 == names.size() ? 0 : i + 1;
    }
}
BENCHMARK(LookupMeasurement)->Name("lookup_measurement");

void ListUnits(benchmark::State& state) {
    OrvBench::UseDefaultCatalogue();
    Units::Unit::GetAllUnits();
    for (auto _ : state) {
        std::vector<Units::Unit*> units = Units::Unit::GetAllUnits();
        benchmark::DoNotOptimize(units.data());
    }
}
BENCHMARK(ListUnits)->Name("list_units");

void ListMeasurements(benchmark::State& state) {
    OrvBench::UseDefaultCatalogue();
    Units::Measurement::GetAllMeasurements();
    for (auto _ : state) {
        std::vector<Units::Measurement*> measurements = Units::Measurement::GetAllMeasurements();
        benchmark::DoNotOptimize(measurements.data());
    }
}
BENCHMARK(ListMeasurements)->Name("list_measurements");

} // namespace
