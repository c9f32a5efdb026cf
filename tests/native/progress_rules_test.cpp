#include "ui/progress_rules.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ProgressRules, FilledWidthIsTheShownFractionRoundedDown) {
    struct Case {
        int width;
        std::int32_t minimum, maximum, position;
        int filled;
    } const cases[] = {
        {630, 0, 100000, 0, 0},
        {630, 0, 100000, 50000, 315},
        {630, 0, 100000, 100000, 630},
        {630, 0, 100000, 250000, 630},   // above the maximum: full
        {630, 0, 0, 7, 0},               // empty range: nothing
        {630, 0, 2147483647, 2147483646, 629}, // no overflow at the top of the range
        {630, 0, 3, 1, 210},
        {630, 0, 3, 2, 420},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FilledWidth(c.width, c.minimum, c.maximum, c.position), c.filled)
            << c.maximum << " " << c.position;
    EXPECT_EQ(ShownPosition(0, 100, -5), 0);
    EXPECT_EQ(ShownPosition(0, 100, 500), 100);
    EXPECT_EQ(ShownPosition(0, 0, 500), 0);
}

} // namespace
} // namespace velmora
