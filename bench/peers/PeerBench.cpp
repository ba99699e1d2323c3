// The peer library's side of the comparison: the operations of our benchmarks, done through the
// peer's C interface on its default unit database, under the same benchmark names.
#include "BenchCommon.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <udunits2.h>
#include <vector>

namespace {

ut_system* System() {
    static ut_system* const system = [] {
        ut_set_error_message_handler(ut_ignore);
        ut_system* loaded = ut_read_xml(nullptr);
        if (loaded == nullptr) {
            std::fprintf(stderr, "the peer's default unit database could not be read\n");
            std::exit(1);
        }
        return loaded;
    }();
    return system;
}

// A unit parsed from `text`; the program stops when the database lacks it.
ut_unit* Parse(const char* text) {
    ut_unit* unit = ut_parse(System(), text, UT_ASCII);
    if (unit == nullptr) {
        std::fprintf(stderr, "the peer does not know the unit %s\n", text);
        std::exit(1);
    }
    return unit;
}

cv_converter* Converter(const char* from, const char* to) {
    ut_unit* input = Parse(from);
    ut_unit* output = Parse(to);
    cv_converter* converter = ut_get_converter(input, output);
    ut_free(input);
    ut_free(output);
    if (converter == nullptr) {
        std::fprintf(stderr, "the peer cannot convert %s to %s\n", from, to);
        std::exit(1);
    }
    return converter;
}

void LookupSymbol(benchmark::State& state) {
    for (std::size_t i = 0; i < OrvBench::kSymbolCount; ++i) {
        ut_unit* unit = ut_get_unit_by_symbol(System(), OrvBench::kSymbols[i]);
        if (unit == nullptr) {
            state.SkipWithError("a symbol is missing from the peer's database");
            return;
        }
        ut_free(unit);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        // The peer hands out a copy of the unit, which the caller frees.
        ut_unit* unit = ut_get_unit_by_symbol(System(), OrvBench::kSymbols[i]);
        benchmark::DoNotOptimize(unit);
        ut_free(unit);
        i = i + 1 == OrvBench::kSymbolCount ? 0 : i + 1;
    }
}
BENCHMARK(LookupSymbol)->Name("lookup_symbol");

void ConvertStatic(benchmark::State& state) {
    ut_unit* feet = Parse("ft");
    ut_unit* metres = Parse("m");
    double value = 12.5;
    for (auto _ : state) {
        cv_converter* converter = ut_get_converter(feet, metres);
        benchmark::DoNotOptimize(cv_convert_double(converter, value));
        cv_free(converter);
    }
    ut_free(feet);
    ut_free(metres);
}
BENCHMARK(ConvertStatic)->Name("convert_static");

// Converts the vector in place back and forth, so that its values stay the same from one pass to
// the next; the two directions cost the same.
template <typename T>
void VectorConvert(benchmark::State& state, const char* from, const char* to) {
    cv_converter* forth = Converter(from, to);
    cv_converter* back = Converter(to, from);
    std::vector<T> values = OrvBench::MakeValues<T>(static_cast<std::size_t>(state.range(0)));
    bool forward = true;
    for (auto _ : state) {
        cv_converter* converter = forward ? forth : back;
        if constexpr (sizeof(T) == sizeof(double)) {
            cv_convert_doubles(converter, values.data(), values.size(), values.data());
        } else {
            cv_convert_floats(converter, values.data(), values.size(), values.data());
        }
        benchmark::DoNotOptimize(values.data());
        benchmark::ClobberMemory();
        forward = !forward;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    cv_free(forth);
    cv_free(back);
}
void VectorConvertDoubles(benchmark::State& state, const char* from, const char* to) {
    VectorConvert<double>(state, from, to);
}

void VectorConvertFloats(benchmark::State& state, const char* from, const char* to) {
    VectorConvert<float>(state, from, to);
}

// The same conversion over buffers that have left every cache by the time they come round.
void VectorConvertCold(benchmark::State& state) {
    cv_converter* forth = Converter("ft", "m");
    cv_converter* back = Converter("m", "ft");
    OrvBench::ColdBuffers<double> buffers;
    bool forward = true;
    for (auto _ : state) {
        std::vector<double>& values = buffers.Next(forward);
        cv_convert_doubles(forward ? forth : back, values.data(), values.size(), values.data());
        benchmark::DoNotOptimize(values.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(OrvBench::ColdBuffers<double>::Values(state.iterations()));
    cv_free(forth);
    cv_free(back);
}
BENCHMARK(VectorConvertCold)->Name("vector_linear_double_cold");

BENCHMARK_CAPTURE(VectorConvertDoubles, linear, "ft", "m")
    ->Name("vector_linear_double")
    ->Arg(OrvBench::kSmall)
    ->Arg(OrvBench::kInCache)
    ->Arg(OrvBench::kLarge);
BENCHMARK_CAPTURE(VectorConvertDoubles, offset, "degF", "degC")
    ->Name("vector_offset_double")
    ->Arg(OrvBench::kSmall)
    ->Arg(OrvBench::kInCache)
    ->Arg(OrvBench::kLarge);
BENCHMARK_CAPTURE(VectorConvertFloats, linear, "ft", "m")
    ->Name("vector_linear_float")
    ->Arg(OrvBench::kSmall)
    ->Arg(OrvBench::kInCache)
    ->Arg(OrvBench::kLarge);
BENCHMARK_CAPTURE(VectorConvertFloats, offset, "degF", "degC")
    ->Name("vector_offset_float")
    ->Arg(OrvBench::kSmall)
    ->Arg(OrvBench::kInCache)
    ->Arg(OrvBench::kLarge);

// A quantity such as "12.5 ft" into `base`: split at the blank, read the number, find the unit,
// convert. A plain symbol is looked up by symbol, the peer's fastest way to a unit; an expression
// goes through the peer's parser.
void ParseQuantity(benchmark::State& state, const char* text, const char* base, bool expression) {
    const std::string quantity = text;
    ut_unit* baseUnit = Parse(base);
    for (auto _ : state) {
        const std::size_t blank = quantity.find(' ');
        const double number = std::strtod(quantity.substr(0, blank).c_str(), nullptr);
        const char* unitText = quantity.c_str() + blank + 1;
        ut_unit* unit = expression ? ut_parse(System(), unitText, UT_ASCII)
                                   : ut_get_unit_by_symbol(System(), unitText);
        cv_converter* converter = ut_get_converter(unit, baseUnit);
        benchmark::DoNotOptimize(cv_convert_double(converter, number));
        cv_free(converter);
        ut_free(unit);
    }
    ut_free(baseUnit);
}
BENCHMARK_CAPTURE(ParseQuantity, feet, "12.5 ft", "m", false)->Name("parse_quantity");
BENCHMARK_CAPTURE(ParseQuantity, acceleration, OrvBench::kAcceleration, "m/s^2", true)
    ->Name("parse_expression_acceleration");
BENCHMARK_CAPTURE(ParseQuantity, torque, OrvBench::kTorque, "J", true)
    ->Name("parse_expression_torque");

// 5400 s written in hours with the unit's symbol: convert, write the number, append the symbol.
void FormatQuantity(benchmark::State& state) {
    ut_unit* seconds = Parse("s");
    ut_unit* unit = Parse(OrvBench::kFormatSymbol);
    for (auto _ : state) {
        cv_converter* converter = ut_get_converter(seconds, unit);
        const double value = cv_convert_double(converter, OrvBench::kSecondsToFormat);
        cv_free(converter);
        char number[32];
        std::snprintf(number, sizeof number, "%g", value);
        char symbol[64];
        ut_format(unit, symbol, sizeof symbol, UT_ASCII);
        std::string text = std::string(number) + " " + symbol;
        benchmark::DoNotOptimize(text.data());
    }
    ut_free(seconds);
    ut_free(unit);
}
BENCHMARK(FormatQuantity)->Name("format_quantity");

} // namespace

BENCHMARK_MAIN();
