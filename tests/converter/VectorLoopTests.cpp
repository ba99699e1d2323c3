// The vector forms run loops built for several instruction sets, and the processor picks one.
// Whichever it gets, each element must come out exactly as the single-value form gives it.
#include <units/converter/Engines.h>
#include <units/converter/ExactEngines.h>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace {

using namespace Orv::Pim::Core::Service::Units::Converter;

template <typename T>
std::vector<T> Values(std::size_t count, std::mt19937_64& random) {
    using Limits = std::numeric_limits<T>;
    const T special[] = {T(0),
                         -T(0),
                         Limits::denorm_min(),
                         Limits::max(),
                         -Limits::infinity(),
                         Limits::quiet_NaN(),
                         T(-459.67),
                         T(1e-30)};
    std::uniform_real_distribution<double> spread(-1e4, 1e4);
    std::vector<T> values(count);
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = i % 11 == 5 ? special[(i / 11) % 8] : static_cast<T>(spread(random));
    }
    return values;
}

// Every length up to a few vector widths, so that the head, the vector body and each length of
// the tail run, and two long ones.
template <typename T>
void ExpectVectorsMatchSingleValues(IUnitConverterEngine& engine, const char* name) {
    std::mt19937_64 random(77);
    for (std::size_t length = 0; length <= 1027; length = length < 67 ? length + 1 : length + 480) {
        const std::vector<T> original = Values<T>(length, random);
        std::vector<T> values = original;
        engine.Convert(values);
        ASSERT_EQ(values.size(), length);
        for (std::size_t i = 0; i < length; ++i) {
            const T single = engine.Convert(original[i]);
            ASSERT_EQ(std::memcmp(&values[i], &single, sizeof single), 0)
                << name << ": element " << i << " of " << length << " was " << original[i]
                << ", became " << values[i] << " in the vector but " << single << " alone";
        }
    }
}

TEST(VectorConversion, MatchesSingleValuesBitForBitAtEveryLength) {
    std::unique_ptr<IUnitConverterEngine> engines[] = {
        std::make_unique<LinearUnitConverter>(0.3048, 0.0),
        std::make_unique<LinearUnitConverter>(1.8, 32.0),
        MakeExactEngine({"2298.35", "5", "9", "0"}),   // degF into K
        MakeExactEngine({"141.5", "0", "131.5", "1"}), // API gravity, reciprocal
    };
    const char* names[] = {"ft", "degC to degF", "degF", "API"};
    for (int i = 0; i < 4; ++i) {
        ExpectVectorsMatchSingleValues<double>(*engines[i], names[i]);
        ExpectVectorsMatchSingleValues<float>(*engines[i], names[i]);
    }
}

} // namespace
