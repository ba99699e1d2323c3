// Conversion: converters made and used once, and vectors converted in place, on the default
// catalogue's units; plus the plain loop that vector conversion is held against.
#include "BenchCatalogue.h"
#include "BenchCommon.h"
#include "PlainLoop.h"

#include <units/Measurement.h>
#include <units/Unit.h>
#include <units/UnitConverter.h>

#include <benchmark/benchmark.h>

#include <vector>

namespace Units = Orv::Pim::Core::Service::Units;

namespace {

Units::Unit* UnitOf(const char* symbol) {
    OrvBench::UseDefaultCatalogue();
    return Units::Unit::GetUnit(symbol);
}

void ConstructConverter(benchmark::State& state) {
    Units::Unit* feet = UnitOf("ft");
    Units::Unit* metres = UnitOf("m");
    for (auto _ : state) {
        Units::UnitConverter converter(feet, metres);
        benchmark::DoNotOptimize(converter.Converter());
    }
}
BENCHMARK(ConstructConverter)->Name("converter_construct");

void ConvertStatic(benchmark::State& state) {
    Units::Unit* feet = UnitOf("ft");
    Units::Unit* metres = UnitOf("m");
    double value = 12.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(Units::UnitConverter::Convert(value, feet, metres));
    }
}
BENCHMARK(ConvertStatic)->Name("convert_static");

void ConvertToBase(benchmark::State& state) {
    OrvBench::UseDefaultCatalogue();
    Units::Measurement* depth = Units::Measurement::GetMeasurement("Depth");
    double value = 12.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(Units::UnitConverter::ConvertToBase(value, depth));
    }
}
BENCHMARK(ConvertToBase)->Name("convert_to_base");

// Converts the vector in place back and forth, so that its values stay the same from one pass to
// the next; the two directions cost the same.
template <typename T>
void VectorConvert(benchmark::State& state, const char* from, const char* to) {
    const Units::UnitConverter forth(UnitOf(from), UnitOf(to));
    const Units::UnitConverter back(UnitOf(to), UnitOf(from));
    std::vector<T> values = OrvBench::MakeValues<T>(static_cast<std::size_t>(state.range(0)));
    bool forward = true;
    for (auto _ : state) {
        (forward ? forth : back).Convert(values);
        benchmark::DoNotOptimize(values.data());
        benchmark::ClobberMemory();
        forward = !forward;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void VectorConvertDoubles(benchmark::State& state, const char* from, const char* to) {
    VectorConvert<double>(state, from, to);
}

void VectorConvertFloats(benchmark::State& state, const char* from, const char* to) {
    VectorConvert<float>(state, from, to);
}

template <typename T>
void VectorPlain(benchmark::State& state) {
    const T scale = static_cast<T>(0.3048);
    const T inverse = static_cast<T>(1.0 / 0.3048);
    std::vector<T> values = OrvBench::MakeValues<T>(static_cast<std::size_t>(state.range(0)));
    bool forward = true;
    for (auto _ : state) {
        OrvBench::PlainLoop(values.data(), values.size(), forward ? scale : inverse, T(0));
        benchmark::DoNotOptimize(values.data());
        benchmark::ClobberMemory();
        forward = !forward;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Vector conversion over buffers that have left every cache by the time they come round, and the
// plain loop over the same buffers.
void VectorConvertCold(benchmark::State& state) {
    const Units::UnitConverter forth(UnitOf("ft"), UnitOf("m"));
    const Units::UnitConverter back(UnitOf("m"), UnitOf("ft"));
    OrvBench::ColdBuffers<double> buffers;
    bool forward = true;
    for (auto _ : state) {
        std::vector<double>& values = buffers.Next(forward);
        (forward ? forth : back).Convert(values);
        benchmark::DoNotOptimize(values.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(OrvBench::ColdBuffers<double>::Values(state.iterations()));
}
BENCHMARK(VectorConvertCold)->Name("vector_linear_double_cold");

void VectorPlainCold(benchmark::State& state) {
    OrvBench::ColdBuffers<double> buffers;
    bool forward = true;
    for (auto _ : state) {
        std::vector<double>& values = buffers.Next(forward);
        OrvBench::PlainLoop(values.data(), values.size(), forward ? 0.3048 : 1.0 / 0.3048, 0.0);
        benchmark::DoNotOptimize(values.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(OrvBench::ColdBuffers<double>::Values(state.iterations()));
}
BENCHMARK(VectorPlainCold)->Name("vector_plain_double_cold");

#define ORV_VECTOR_SIZES ->Arg(OrvBench::kSmall)->Arg(OrvBench::kInCache)->Arg(OrvBench::kLarge)

BENCHMARK_CAPTURE(VectorConvertDoubles, linear, "ft", "m")
    ->Name("vector_linear_double") ORV_VECTOR_SIZES;
BENCHMARK_CAPTURE(VectorConvertDoubles, offset, "degF", "degC")
    ->Name("vector_offset_double") ORV_VECTOR_SIZES;
BENCHMARK_CAPTURE(VectorConvertDoubles, nonlinear, "API", "SG")
    ->Name("vector_nonlinear_double") ORV_VECTOR_SIZES;
BENCHMARK_TEMPLATE(VectorPlain, double)->Name("vector_plain_double") ORV_VECTOR_SIZES;
BENCHMARK_CAPTURE(VectorConvertFloats, linear, "ft", "m")
    ->Name("vector_linear_float") ORV_VECTOR_SIZES;
BENCHMARK_CAPTURE(VectorConvertFloats, offset, "degF", "degC")
    ->Name("vector_offset_float") ORV_VECTOR_SIZES;
BENCHMARK_CAPTURE(VectorConvertFloats, nonlinear, "API", "SG")
    ->Name("vector_nonlinear_float") ORV_VECTOR_SIZES;
BENCHMARK_TEMPLATE(VectorPlain, float)->Name("vector_plain_float") ORV_VECTOR_SIZES;

} // namespace
