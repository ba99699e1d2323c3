#include <units/UnitException.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>

using Orv::Pim::Core::Service::Units::UnitException;

TEST(UnitException, CarriesItsMessageAsARuntimeError) {
    try {
        throw UnitException("Cannot convert from m to kg");
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Cannot convert from m to kg");
    }
}

TEST(UnitException, IgnoresTheExceptionGivenBesideTheMessage) {
    const UnitException e("outer", std::logic_error("inner"));
    EXPECT_STREQ(e.what(), "outer");
}

TEST(UnitException, KeepsTheMessageThroughCopyMoveAndAssignment) {
    std::string text = "first";
    UnitException original(text);
    text = "changed"; // the exception holds its own copy

    UnitException copy(original);
    UnitException moved(std::move(copy));
    UnitException assigned("other");
    assigned = original;
    UnitException moveAssigned("other");
    moveAssigned = std::move(assigned);

    EXPECT_STREQ(original.what(), "first");
    EXPECT_STREQ(moved.what(), "first");
    EXPECT_STREQ(moveAssigned.what(), "first");
}
