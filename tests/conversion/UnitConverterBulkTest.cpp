#include "QuantityCatalogue.h"

#include <units/Unit.h>
#include <units/UnitConverter.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
using Units::Unit;
using Units::UnitConverter;

// Converting a million values in place must give, element by element, what the single-value
// form gives; a vector form that skipped, repeated or reordered elements would show here.
void ExpectVectorFormMatchesSingleForm(const std::string& from, const std::string& to) {
    orv_testing::QuantityCatalogue();
    UnitConverter const converter(Unit::GetUnit(from), Unit::GetUnit(to));

    constexpr std::size_t kCount = 1000000;
    std::vector<double> values(kCount);
    for (std::size_t i = 0; i < kCount; ++i) {
        values[i] = 0.5 + static_cast<double>(i) * 0.001;
    }
    std::vector<double> const originals = values;
    converter.Convert(values);
    ASSERT_EQ(values.size(), kCount);

    std::size_t mismatches = 0;
    std::size_t firstMismatch = kCount;
    for (std::size_t i = 0; i < kCount; ++i) {
        if (values[i] != converter.Convert(originals[i])) {
            if (mismatches++ == 0) {
                firstMismatch = i;
            }
        }
    }
    EXPECT_EQ(mismatches, 0u) << "first at index " << firstMismatch << ": "
                              << (firstMismatch < kCount ? values[firstMismatch] : 0.0);
}

TEST(UnitConverter, ConvertsAMillionValuesInPlaceLikeTheSingleValueFormThroughALinearEngine) {
    ExpectVectorFormMatchesSingleForm("degF", "degC");
}

TEST(UnitConverter, ConvertsAMillionValuesInPlaceLikeTheSingleValueFormThroughAComposite) {
    ExpectVectorFormMatchesSingleForm("dBW", "kW");
}

} // namespace
