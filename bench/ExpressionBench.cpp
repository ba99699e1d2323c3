// Unit expressions: resolving a new one in the reader, and parsing quantities whose unit is one
// (the same texts the peer parses, under the same names).
#include "BenchCatalogue.h"
#include "BenchCommon.h"

#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/reader/XmlUnitReader.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace Units = Orv::Pim::Core::Service::Units;

namespace {

// Distinct expressions of five units each, with prefixes, powers and a parenthesised quotient,
// such as "kg*m^2/(s^3*A*K)": every one is new to a reader that has not seen it.
std::vector<std::string> FiveUnitExpressions() {
    const char* const masses[] = {"kg", "g", "mg", "\xC2\xB5g", "lbm", "t", "oz", "gr"};
    const char* const lengths[] = {"m",  "km", "cm", "mm", "\xC2\xB5m",
                                   "nm", "ft", "in", "yd", "mi"};
    const char* const times[] = {"s", "ms", "min", "h", "d", "\xC2\xB5s", "ns"};
    const char* const currents[] = {"A", "mA", "kA",
                                    "\xC2\xB5"
                                    "A",
                                    "nA"};
    const char* const temperatures[] = {"K", "mK", "\xC2\xB5K", "degR"};
    std::vector<std::string> texts;
    for (const char* mass : masses) {
        for (const char* length : lengths) {
            for (const char* time : times) {
                for (const char* current : currents) {
                    for (const char* temperature : temperatures) {
                        texts.push_back(std::string(mass) + "*" + length + "^2/(" + time + "^3*" +
                                        current + "*" + temperature + ")");
                    }
                }
            }
        }
    }
    return texts;
}

// The reader's work for an expression it has not seen: read it, compose its exact factor, find
// its dimension and keep its record. A fresh reader is made, untimed, whenever the texts run out.
void ResolveExpression(benchmark::State& state) {
    const std::vector<std::string> texts = FiveUnitExpressions();
    std::unique_ptr<Units::Reader::XmlUnitReader> reader;
    std::size_t next = texts.size();
    for (auto _ : state) {
        if (next == texts.size()) {
            state.PauseTiming();
            reader = Units::Reader::XmlUnitReader::Default();
            reader->GetUnitSpec("m/s^3"); // what a reader works out once, before any expression
            next = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(reader->GetUnitSpec(texts[next++]));
    }
}
BENCHMARK(ResolveExpression)->Name("resolve_expression");

// A quantity whose unit is an expression, once the expression is a unit of the catalogue.
void ParseExpressionQuantity(benchmark::State& state, const char* text) {
    OrvBench::UseDefaultCatalogue();
    const std::string quantity = text;
    delete &Units::UCDouble::Parse(quantity); // resolves the expression and its measurement
    for (auto _ : state) {
        Units::UCDouble& value = Units::UCDouble::Parse(quantity);
        benchmark::DoNotOptimize(value.BaseValue());
        delete &value;
    }
}
BENCHMARK_CAPTURE(ParseExpressionQuantity, acceleration, OrvBench::kAcceleration)
    ->Name("parse_expression_acceleration");
BENCHMARK_CAPTURE(ParseExpressionQuantity, torque, OrvBench::kTorque)
    ->Name("parse_expression_torque");

} // namespace
