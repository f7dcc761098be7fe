#include <gtest/gtest.h>

#include <type_traits>

#include "core/extent.h"
#include "core/timecode.h"

namespace varnix {
namespace {

// The -1 that once meant "to the end" does not compile: a signed number is no Count.
static_assert(!std::is_constructible_v<Count, int>);
static_assert(!std::is_constructible_v<Count, std::int64_t>);
static_assert(std::is_convertible_v<std::uint64_t, Count>);
static_assert(std::is_convertible_v<ToEndOfInput, Count>);

TEST(Extent, AnAmountOrToTheEnd) {
    const Count none = 0u;
    const Count some = 40u;
    const Count all = kToEnd;
    EXPECT_FALSE(none.toEnd());
    EXPECT_TRUE(all.toEnd());
    EXPECT_EQ(some.amount(), 40u);
    EXPECT_EQ(all.amountOr(7), 7u);
    EXPECT_NE(Count(UINT64_MAX), all);  // the largest amount is still an amount

    // What a count takes of what is there.
    EXPECT_EQ(CountWithin(some, 100), 40u);
    EXPECT_EQ(CountWithin(some, 30), 30u);
    EXPECT_EQ(CountWithin(none, 30), 0u);
    EXPECT_EQ(CountWithin(all, 30), 30u);

    const Extent<TimeCode> tail = kToEnd;
    EXPECT_TRUE(tail.toEnd());
    EXPECT_EQ(Extent<TimeCode>(MakeTimeCode(0, 0, 1, 0)).amount(), MakeTimeCode(0, 0, 1, 0));
}

}  // namespace
}  // namespace varnix
