#include <gtest/gtest.h>

#include <climits>

#include "framework/DecimalText.h"

namespace ovek {
namespace {

TEST(DecimalText, WritesWholeNumbersAsTheLibraryWould) {
    const std::pair<long long, const wchar_t*> cases[] = {
        {0, L"0"}, {7, L"7"}, {-7, L"-7"}, {1031, L"1031"}, {-2147483647 - 1, L"-2147483648"},
        {LLONG_MIN, L"-9223372036854775808"}, {LLONG_MAX, L"9223372036854775807"},
    };
    for (auto [value, text] : cases) EXPECT_EQ(DecimalText(value), text);
}

TEST(DecimalText, FixedPointRoundsHalfAwayFromZero) {
    struct Case {
        double value;
        int decimals;
        const wchar_t* text;
    } cases[] = {
        {0.0, 1, L"0.0"},     {42.5, 1, L"42.5"},  {99.96, 1, L"100.0"}, {100.0, 1, L"100.0"},
        {0.04, 1, L"0.0"},    {0.05, 1, L"0.1"},   {-1.25, 1, L"-1.3"},  {-0.01, 1, L"0.0"},
        {3.14159, 3, L"3.142"}, {2.5, 0, L"3"},    {1.005, 9, L"1.005000000"}, {12.0, -4, L"12"},
    };
    for (const Case& c : cases) EXPECT_EQ(FixedText(c.value, c.decimals), c.text) << c.value;
}

TEST(DecimalText, ReadsPlainDecimals) {
    EXPECT_DOUBLE_EQ(ReadFixed(L"12.5"), 12.5);
    EXPECT_DOUBLE_EQ(ReadFixed(L"-0.25"), -0.25);
    EXPECT_DOUBLE_EQ(ReadFixed(L"  7"), 7.0);
    EXPECT_DOUBLE_EQ(ReadFixed(L"abc"), 0.0);
    EXPECT_DOUBLE_EQ(ReadFixed(L""), 0.0);
}

}  // namespace
}  // namespace ovek
