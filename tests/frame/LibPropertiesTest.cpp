// The library's seven properties.
#include <units/LibProperties.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;

TEST(LibProperties, AnswersSevenPairsInTheirFixedOrder) {
    ASSERT_EQ(Units::getNumLibProperties(), 7);
    std::vector<std::pair<std::string, std::string>> pairs;
    for (int index = 0; index < Units::getNumLibProperties(); ++index) {
        char const* key = nullptr;
        char const* value = nullptr;
        Units::getLibProperty(index, key, value);
        ASSERT_NE(key, nullptr);
        ASSERT_NE(value, nullptr);
        pairs.emplace_back(key, value);
    }
    using Pair = std::pair<std::string, std::string>;
    EXPECT_THAT(pairs, ::testing::ElementsAre(
                           Pair("CompanyName", "Tarnwell"), Pair("FileVersion", "5.2017.0.0"),
                           Pair("FileDescription", "Tarnwell Simulation Support Library"),
                           Pair("ProductVersion", "Main/0"),
                           Pair("InternalName", "Orv.Pim.Core.Service.Units"),
                           Pair("LegalCopyright", "Copyright (C) 2026 Orv Units contributors"),
                           Pair("OriginalFilename", "Orv.Pim.Core.Service.Units")));
}

TEST(LibProperties, AnswersEmptyStringsOutsideTheTableNegativeIndexesIncluded) {
    for (const int index : {7, -1, 1 << 30, -(1 << 30)}) {
        char const* key = "unchanged";
        char const* value = "unchanged";
        Units::getLibProperty(index, key, value);
        ASSERT_NE(key, nullptr) << index;
        EXPECT_STREQ(key, "") << index;
        EXPECT_STREQ(value, "") << index;
        EXPECT_EQ(key, value) << index;
    }
}

} // namespace
