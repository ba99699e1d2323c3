#include <units/UnitException.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>

using Orv::Pim::Core::Service::Units::UnitException;

TEST(UnitException, IsARuntimeErrorThatKeepsItsOwnCopyOfTheMessage) {
    std::string text = "first";
    UnitException original(text);
    text = "changed";

    UnitException copy(original);
    UnitException moved(std::move(copy));
    UnitException assigned("other");
    assigned = original;
    UnitException moveAssigned("other");
    moveAssigned = std::move(assigned);

    const std::runtime_error& base = moveAssigned;
    EXPECT_STREQ(base.what(), "first");
    EXPECT_STREQ(original.what(), "first");
    EXPECT_STREQ(moved.what(), "first");
    // The exception given beside a message is not used.
    EXPECT_STREQ(UnitException("outer", std::logic_error("inner")).what(), "outer");
}
