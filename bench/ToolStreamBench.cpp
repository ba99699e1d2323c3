// orvunits convert over a stream of numbers, on one thread and on two: the decimals typed are
// converted exactly, and the blocks of a large input converted side by side.
#include "NumberStream.h"
#include "RunOrvUnits.h"

#include <units/Unit.h>
#include <units/UnitConverter.h>

#include <benchmark/benchmark.h>

#include <random>
#include <sstream>
#include <string>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;

// `count` numbers of up to eight significant digits, as measurements are typed, eight a line.
std::string TypedNumbers(std::size_t count) {
    std::mt19937_64 random(6);
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += std::to_string(random() % 100000) + "." + std::to_string(random() % 1000) +
                (i % 8 == 7 ? '\n' : ' ');
    }
    return text;
}

void ConvertStream(benchmark::State& state, const char* from, const char* to) {
    std::istringstream none;
    std::ostringstream out, err;
    Orv::UnitsTool::RunOrvUnits({"convert", "1", from, to}, none, out, err); // the catalogue
    const Units::UnitConverter converter(Units::Unit::GetUnit(from), Units::Unit::GetUnit(to));
    const Orv::UnitsTool::DecimalConverter decimals(*converter.Converter(), 0);
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::string input = TypedNumbers(count);
    for (auto _ : state) {
        std::istringstream in(input);
        std::ostringstream result;
        Orv::UnitsTool::ConvertNumberStream(in, result, decimals, false,
                                            static_cast<unsigned>(state.range(1)));
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * count));
}

// Arguments: the count of numbers, the threads.
BENCHMARK_CAPTURE(ConvertStream, FtToM, "ft", "m")
    ->ArgsProduct({{10000000}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ConvertStream, DegCToDegF, "degC", "degF")
    ->ArgsProduct({{10000000}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
