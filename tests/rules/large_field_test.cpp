#include <cstdint>

#include <gtest/gtest.h>

#include "rules/chain.h"
#include "rules/field.h"
#include "rules/region.h"

namespace peterin {
namespace {

// One region of a million cells: every fill must work without exhausting the call stack.
TEST(LargeField, MillionCellRegionIsCountedMarkedAndErasedWithoutStackOverflow) {
    Field field;
    ASSERT_EQ(resizeField(field, 1000, 1000, 1), 0);
    for (std::int32_t x = 0; x < 1000; ++x) {
        for (std::int32_t r = 0; r < 1000; ++r) {
            field.at(x, r).kind = CellKind::Green;
        }
    }
    recountGroups(field);
    EXPECT_EQ(field.at(999, 999).groupSize, 1000000);

    RegionTally tally{0, CellKind::Green};
    countRegion(field, tally, 0, 0);
    EXPECT_EQ(tally.count, 1000000);
    tally.count = 7;
    assignRegion(field, tally, 500, 500);
    EXPECT_EQ(field.at(0, 999).groupSize, 7);
    EXPECT_EQ(field.at(0, 999).visited, 0);

    setCell(field, 0, 0, CellKind::Red);
    EXPECT_EQ(field.at(999, 999).groupSize, 999999) << "one cell leaves the region";

    ScoreRecord record;
    field.scoreRecord = &record;
    ASSERT_TRUE(findGroups(field, 4, true));
    EXPECT_EQ(record.cleared, 999999);
    ASSERT_TRUE(vanishGroups(field, 4));
    EXPECT_EQ(getCell(field, 999, 999), CellKind::Empty);
    EXPECT_EQ(getCell(field, 0, 0), CellKind::Red);
}

} // namespace
} // namespace peterin
