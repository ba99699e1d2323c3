// orvunits takes unit expressions wherever it takes a unit, and says on its error line why a text
// is not a unit and what the user may have meant.
#include "ToolTesting.h"

#include <gtest/gtest.h>

namespace {

using namespace orv_tool_testing;

TEST(OrvUnitsExpressions, AreUnitsInConvertParseAndShow) {
    const struct {
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        {{"convert", "1", "kg*m/s^2", "N"}, "1\n"},
        {{"convert", "2", "W/(m*K)", "Btu/(h.ft.degF)"}, "1.1555786330859963\n"},
        {{"convert", "--from", "ft\xC2\xB3/s", "--to", "L/s"}, "28.316846592\n"},
        {{"parse", "9.81 m/s^2"},
         "measurement:  Acceleration\nbase value:   9.81 m/s2\nin Metric:    9.81 m/s2\n"},
        {{"show", "kg*m"},
         "unit kg*m\n  name:            kg\xC2\xB7m\n  dimension:       L\xC2\xB7M\n"
         "  standard form:   kg*m\n  aliases:         -\n  factor to m\xC2\xB7kg:  1\n"
         "  offset to m\xC2\xB7kg:  0\n"},
    };
    for (const auto& c : cases) {
        const auto result = RunTool(c.args, "1\n");
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, c.out);
    }
}

TEST(OrvUnitsExpressions, AreRefusedWithWhereWhyAndWhatWasMeant) {
    const struct {
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {{"convert", "1", "fet", "m"},
         "orvunits: Could not find a Unit with symbol 'fet'! (at character 1: unknown unit "
         "\"fet\"; did you mean ft?)\n"},
        {{"parse", "5 KPa"},
         "orvunits: Could not find a Unit with symbol 'KPa'! (at character 1: unknown unit "
         "\"KPa\"; did you mean kPa, Pa or hPa?)\n"},
        {{"convert", "--from", "m//s", "--to", "m/s"},
         "orvunits: Could not find a Unit with symbol 'm//s'! (at character 3: a unit is missing "
         "before \"/\")\n"},
        {{"show", "meters"},
         "orvunits: no unit, measurement, unit system or dimension is named 'meters' (as a unit, "
         "at character 1: unknown unit \"meters\"; did you mean m?)\n"},
        {{"convert", "1", "degC*m", "K*m"},
         "orvunits: Could not find a Unit with symbol 'degC*m'! (at character 1: \"degC\" has an "
         "offset, so it cannot be multiplied, divided, raised to a power or prefixed)\n"},
    };
    for (const auto& c : cases) {
        const auto result = RunTool(c.args);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
    }
}

} // namespace
