// The processor picks one set of conversion loops at run time (AVX-512, AVX2 or plain), so a
// fault in the others would go unseen on the machine that runs the tests. This test builds the
// loops of every set in itself and checks that each one the processor can run gives the plain
// loops' results, bit for bit.
#include "LoopSets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Converter;
using OrvTesting::Loops;
using OrvTesting::Runnable;

template <typename T>
std::vector<T> Values(std::mt19937_64& random) {
    using Limits = std::numeric_limits<T>;
    std::vector<T> values = {T(0),
                             -T(0),
                             Limits::denorm_min(),
                             Limits::max(),
                             Limits::infinity(),
                             Limits::quiet_NaN(),
                             T(32),
                             T(-459.67)};
    std::uniform_real_distribution<double> ordinary(-1e4, 1e4);
    std::uniform_int_distribution<int> exponent(Limits::min_exponent - 30, Limits::max_exponent);
    while (values.size() < 1003) {
        const double x = ordinary(random);
        values.push_back(
            static_cast<T>(values.size() % 3 == 0 ? std::ldexp(x, exponent(random)) : x));
    }
    return values;
}

double One(const Detail::LinearLoops& loops, const Detail::LinearParts& parts, double value) {
    return loops.one(parts, value);
}
float One(const Detail::LinearLoops& loops, const Detail::LinearParts& parts, float value) {
    return loops.oneFloat(parts, value);
}
void Many(const Detail::LinearLoops& loops, const Detail::LinearParts& parts, double* values,
          std::size_t count) {
    loops.many(parts, values, count);
}
void Many(const Detail::LinearLoops& loops, const Detail::LinearParts& parts, float* values,
          std::size_t count) {
    loops.manyFloat(parts, values, count);
}

template <typename T>
bool SameBits(T a, T b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every set's single values and vectors, from every start and so with every split into head,
// vectors and tail, give the plain loops' single values.
template <typename T>
void ExpectSameBits(const Detail::LinearParts& parts, const char* engine) {
    std::mt19937_64 random(5);
    const std::vector<T> original = Values<T>(random);
    const std::vector<Loops> sets = Runnable();
    for (const Loops& set : sets) {
        for (std::size_t start = 0; start < 16; ++start) {
            std::vector<T> values = original;
            Many(*set.loops, parts, values.data() + start, values.size() - start);
            for (std::size_t i = start; i < values.size(); ++i) {
                const T plain = One(*sets[0].loops, parts, original[i]);
                ASSERT_TRUE(SameBits(One(*set.loops, parts, original[i]), plain) &&
                            SameBits(values[i], plain))
                    << engine << ", " << set.name << ": " << original[i] << " gives " << values[i]
                    << " in a vector, " << plain << " alone";
            }
        }
    }
}

TEST(ConverterLoops, EveryInstructionSetGivesThePlainLoopsBitsForDoublesAndFloats) {
    struct Engine {
        const char* name;
        Detail::ExactRef exact;
        double scale, offset; // for an engine of plain doubles
    };
    const Engine engines[] = {
        {"ft", Detail::SmallRef(0, 381, 1250, 0), 0.0, 0.0},
        {"degF", Detail::SmallRef(45967, 100, 180, 0), 0.0, 0.0},
        {"doubles", Detail::ExactRef(), 1.8, 32.0},
        {"wide", Detail::RefOf(Detail::ExactMap::Parse({"1e-30", "1e300", "3", "0"})), 0.0, 0.0},
    };
    for (const Engine& engine : engines) {
        Detail::LinearState state;
        double scale = engine.scale;
        double offset = engine.offset;
        if (engine.exact.kind != Detail::ExactRef::e_None) {
            state.exact = engine.exact;
            Detail::RoundLinear(state.exact, state, scale, offset);
        }
        const Detail::LinearParts parts{scale, state.scaleLow, offset, state.offsetLow,
                                        &state.exact};
        ExpectSameBits<double>(parts, engine.name);
        ExpectSameBits<float>(parts, engine.name);
    }
}

} // namespace
