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
using OrvTesting::Engine;
using OrvTesting::Loops;
using OrvTesting::Runnable;

// Zeros, subnormals and the largest numbers, infinities and NaN, then random values over the whole
// range of exponents.
template <typename T>
std::vector<T> Mixed() {
    using Limits = std::numeric_limits<T>;
    std::vector<T> values = {T(0),
                             -T(0),
                             Limits::denorm_min(),
                             Limits::max(),
                             Limits::infinity(),
                             Limits::quiet_NaN(),
                             T(32),
                             T(-459.67)};
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> ordinary(-1e4, 1e4);
    std::uniform_int_distribution<int> exponent(Limits::min_exponent - 30, Limits::max_exponent);
    while (values.size() < 1003) {
        const double x = ordinary(random);
        values.push_back(
            static_cast<T>(values.size() % 3 == 0 ? std::ldexp(x, exponent(random)) : x));
    }
    return values;
}

// Ordinary values, which the loops may convert a chunk at a time without a test per value, but for
// zeros of both signs, and each of the special values below in a chunk of its own, whose other
// values it sends the tested way; the last value is one of them too.
std::vector<double> Planted(std::size_t size) {
    using Limits = std::numeric_limits<double>;
    const double specials[] = {4.8188716318825551e-308, // ft in m: the result is subnormal
                               Limits::denorm_min(),
                               -1e-310,
                               0x1p-1000,
                               Limits::max(),
                               -Limits::infinity(),
                               Limits::infinity(),
                               Limits::quiet_NaN()};
    std::vector<double> values(size);
    for (std::size_t i = 0; i < size; ++i) {
        values[i] = 1.0 + static_cast<double>(i % 3000) * 0.37;
    }
    values[700] = 0.0;
    values[701] = -0.0;
    for (std::size_t k = 0; k < std::size(specials); ++k) {
        values[1200 + 600 * k] = specials[k];
    }
    values.back() = Limits::infinity();
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

// Every set's single values, and its vector of `original` from each of `starts` on (and so with
// every split into head, vectors and tail), give the plain loops' single values.
template <typename T>
void ExpectSameBits(const Engine& engine, const char* name, const std::vector<T>& original,
                    std::size_t starts) {
    const std::vector<Loops> sets = Runnable();
    std::vector<T> plain(original.size());
    for (std::size_t i = 0; i < original.size(); ++i) {
        plain[i] = One(*sets[0].loops, engine.parts, original[i]);
    }
    for (const Loops& set : sets) {
        for (std::size_t start = 0; start < starts; ++start) {
            std::vector<T> values = original;
            Many(*set.loops, engine.parts, values.data() + start, values.size() - start);
            for (std::size_t i = start; i < values.size(); ++i) {
                ASSERT_TRUE(SameBits(One(*set.loops, engine.parts, original[i]), plain[i]) &&
                            SameBits(values[i], plain[i]))
                    << name << ", " << set.name << ": " << original[i] << " gives " << values[i]
                    << " in a vector, " << plain[i] << " alone";
            }
        }
    }
}

// Scales that are and are not sure of their products, of both signs; an offset; doubles alone;
// coefficients too wide for 64 bits. Arrays beyond the caches take a loop of their own.
TEST(ConverterLoops, EveryInstructionSetGivesThePlainLoopsBitsForDoublesAndFloats) {
    const struct {
        const char* name;
        Engine engine;
    } engines[] = {
        {"ft", Engine(0, 381, 1250)},
        {"-ft", Engine(0, -381, 1250)},
        {"5/9", Engine(0, 5, 9)},
        {"degF", Engine(45967, 100, 180)},
        {"wide", Engine(Detail::RefOf(Detail::ExactMap::Parse({"1e-30", "1e300", "3", "0"})))},
        {"doubles", Engine(1.8, 32.0)},
        {"half", Engine(0.5, 0.0)},
        {"-half", Engine(-0.5, 0.0)},
    };
    for (const auto& [name, engine] : engines) {
        ExpectSameBits(engine, name, Mixed<double>(), 16);
        ExpectSameBits(engine, name, Mixed<float>(), 16);
        for (const std::size_t size : {std::size_t{8000}, (std::size_t{1} << 17) + 8000}) {
            ExpectSameBits(engine, name, Planted(size), 1);
        }
    }
}

} // namespace
