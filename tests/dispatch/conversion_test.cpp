#include "components/dispatch/conversion.h"
#include "components/dispatch/error.h"
#include "components/dispatch/variant.h"

#include <gtest/gtest.h>

using namespace vizmo::dispatch;

TEST(Conversion, RoundsHalvesToTheEvenNeighbour)
{
    const std::pair<double, int> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {63.5, 64}, {-63.75, -64},
        {-127.5, -128}, {0.49999, 0}, {-0.5, 0}, {1.5, 2}, {31.75, 32}, {2.4999, 2},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(toInt16(in), out) << in;
}

TEST(Conversion, OutOfRangeIsAnOverflowError)
{
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768.5), -32768);  // half to even stays in range
    for (double bad : {32767.5, 32768.0, -32769.0, 1e300}) {
        try {
            toInt16(bad);
            ADD_FAILURE() << "no overflow for " << bad;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), err::Overflow);
            EXPECT_EQ(e.description(), "Overflow");
        }
    }
    EXPECT_THROW(toInt32(2147483647.5), RuntimeError);
    EXPECT_EQ(toInt32(-2147483648.0), std::numeric_limits<std::int32_t>::min());
}

TEST(Conversion, HostSideVariantConversions)
{
    EXPECT_EQ(Variant::boolean(true).boolValue(), -1);
    EXPECT_EQ(Variant::boolean(false).toInt32(), 0);
    EXPECT_EQ(Variant::boolean(true).toInt32(), -1);
    EXPECT_EQ(Variant::r4(2.5f).toInt32(), 2);
    EXPECT_EQ(Variant::string(" 42 ").toInt32(), 42);
    EXPECT_EQ(Variant::i2(-1).toText(), "-1");
    EXPECT_EQ(Variant::string("True").toBool(), true);
    EXPECT_EQ(Variant::i4(0).toBool(), false);
    EXPECT_EQ(Variant().toText(), "");
    EXPECT_THROW(Variant::string("seven").toInt32(), RuntimeError);
    EXPECT_THROW(Variant::object(nullptr).toText(), RuntimeError);
    // Equal values of different types are different arguments.
    EXPECT_FALSE(Variant::i2(1) == Variant::i4(1));
    EXPECT_TRUE(Variant::string("a") == Variant::string("a"));
}
