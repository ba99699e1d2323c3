// The converter library on its own: vector loops of each kind of engine, and the steps a
// converter between two units takes (the inverse of one engine, the exact composition of two).
#include "BenchCommon.h"

#include <units/converter/Engines.h>
#include <units/converter/ExactEngines.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace Converter = Orv::Pim::Core::Service::Units::Converter;

namespace {

std::unique_ptr<Converter::IUnitConverterEngine> Exact(const char* a, const char* b,
                                                       const char* c = "1", const char* d = "0") {
    return Converter::MakeExactEngine(Converter::ExactDefinition{a, b, c, d});
}

// Converts the vector in place with `engine` and its inverse by turns, so the values stay put.
template <typename T>
void VectorLoop(benchmark::State& state, std::unique_ptr<Converter::IUnitConverterEngine> forth) {
    std::unique_ptr<Converter::IUnitConverterEngine> back = forth->GetInverse();
    std::vector<T> values = OrvBench::MakeValues<T>(static_cast<std::size_t>(state.range(0)));
    bool forward = true;
    for (auto _ : state) {
        (forward ? forth : back)->Convert(values);
        benchmark::DoNotOptimize(values.data());
        benchmark::ClobberMemory();
        forward = !forward;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void LinearDoubles(benchmark::State& state) {
    VectorLoop<double>(state, Exact("0", "0.3048"));
}
void OffsetDoubles(benchmark::State& state) {
    VectorLoop<double>(state, Exact("2298.35", "5", "9"));
}
void RationalDoubles(benchmark::State& state) {
    VectorLoop<double>(state, Exact("141.5", "0", "131.5", "1"));
}
void LinearFloats(benchmark::State& state) {
    VectorLoop<float>(state, Exact("0", "0.3048"));
}
void OffsetFloats(benchmark::State& state) {
    VectorLoop<float>(state, Exact("2298.35", "5", "9"));
}

#define ORV_VECTOR_SIZES ->Arg(OrvBench::kSmall)->Arg(OrvBench::kInCache)->Arg(OrvBench::kLarge)
BENCHMARK(LinearDoubles)->Name("engine_linear_double") ORV_VECTOR_SIZES;
BENCHMARK(OffsetDoubles)->Name("engine_offset_double") ORV_VECTOR_SIZES;
BENCHMARK(RationalDoubles)->Name("engine_rational_double") ORV_VECTOR_SIZES;
BENCHMARK(LinearFloats)->Name("engine_linear_float") ORV_VECTOR_SIZES;
BENCHMARK(OffsetFloats)->Name("engine_offset_float") ORV_VECTOR_SIZES;

void Inverse(benchmark::State& state) {
    auto feet = Exact("0", "0.3048");
    for (auto _ : state) {
        auto inverse = feet->GetInverse();
        benchmark::DoNotOptimize(inverse.get());
    }
}
BENCHMARK(Inverse)->Name("engine_inverse_exact");

void Compose(benchmark::State& state) {
    auto feet = Exact("0", "0.3048");
    auto inches = Exact("0", "0.0254");
    auto fromBase = inches->GetInverse();
    auto* first = static_cast<Converter::LinearUnitConverter*>(feet.get());
    auto* second = static_cast<Converter::LinearUnitConverter*>(fromBase.get());
    for (auto _ : state) {
        Converter::LinearUnitConverter composed(first, second);
        benchmark::DoNotOptimize(&composed);
    }
}
BENCHMARK(Compose)->Name("engine_compose_exact");

// What a converter made for one value does: the output unit's inverse, the composed engine, one
// conversion, and both engines destroyed.
void ConvertOnce(benchmark::State& state, std::unique_ptr<Converter::IUnitConverterEngine> from,
                 std::unique_ptr<Converter::IUnitConverterEngine> to) {
    double value = 12.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        std::unique_ptr<Converter::IUnitConverterEngine> inverse = to->GetInverse();
        std::unique_ptr<Converter::IUnitConverterEngine> engine(new Converter::LinearUnitConverter(
            static_cast<Converter::LinearUnitConverter*>(from.get()),
            static_cast<Converter::LinearUnitConverter*>(inverse.get())));
        inverse.reset();
        benchmark::DoNotOptimize(engine->Convert(value));
    }
}
void ConvertOnceLinear(benchmark::State& state) {
    ConvertOnce(state, Exact("0", "0.3048"), Exact("0", "1"));
}
void ConvertOnceOffset(benchmark::State& state) {
    ConvertOnce(state, Exact("2298.35", "5", "9"), Exact("273.15", "1"));
}
void ConvertOnceSame(benchmark::State& state) {
    auto celsius = Exact("273.15", "1");
    auto clone = celsius->Clone();
    ConvertOnce(state, std::move(celsius), std::move(clone));
}
BENCHMARK(ConvertOnceLinear)->Name("engine_convert_once_linear");
BENCHMARK(ConvertOnceOffset)->Name("engine_convert_once_offset");
BENCHMARK(ConvertOnceSame)->Name("engine_convert_once_same_unit");

} // namespace
