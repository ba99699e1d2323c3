// Catalogue look-ups and listings, on a warmed-up catalogue: every unit built before the timing.
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
    Units::Unit::GetAllUnits();
    // The symbols as a caller usually holds them: std::string objects made beforehand.
    std::vector<std::string> symbols(std::begin(OrvBench::kSymbols), std::end(OrvBench::kSymbols));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Units::Unit::GetUnit(symbols[i]));
        i = i + 1 == symbols.size() ? 0 : i + 1;
    }
}
BENCHMARK(LookupSymbol)->Name("lookup_symbol");

// Every unit of the catalogue in a random order, so that no look-up finds the last one's path
// in the caches.
void LookupRandom(benchmark::State& state, OrvBench::e_Catalogue catalogue) {
    if (!OrvBench::UseCatalogue(catalogue)) {
        state.SkipWithError("another catalogue is registered: run this benchmark on its own");
        return;
    }
    const std::vector<std::string> symbols = OrvBench::ShuffledSymbols();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Units::Unit::GetUnit(symbols[i]));
        i = i + 1 == symbols.size() ? 0 : i + 1;
    }
    state.counters["units"] = static_cast<double>(symbols.size());
}
BENCHMARK_CAPTURE(LookupRandom, default, OrvBench::e_Catalogue::e_Default)->Name("lookup_random");
BENCHMARK_CAPTURE(LookupRandom, ten_times, OrvBench::e_Catalogue::e_TenTimes)
    ->Name("lookup_random_ten_times");

void LookupMeasurement(benchmark::State& state) {
    OrvBench::UseDefaultCatalogue();
    std::vector<std::string> names = {"Length", "Depth", "Temperature", "Pressure",
                                      "Mass",   "Time",  "Velocity",    "Density",
                                      "Energy", "Power", "Force",       "Unitless"};
    Units::Measurement::GetAllMeasurements();
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
