// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/failure.h"
#include "ops/number.h"

#include "support/outcome.h"

#include <gtest/gtest.h>

namespace {

using testsupport::Outcome;
using testsupport::outcomeOf;

TEST(StrToInt, Accepts)
{
    struct Row {
        const char *text;
        std::int32_t value;
    } rows[] = {
        {"0", 0},
        {"7", 7},
        {"007", 7},
        {"+5", 5},
        {"-5", -5},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"000000000000002147483647", 2147483647}, // leading zeros do not overflow
    };
    for (const Row &row : rows)
        EXPECT_EQ(ops::StrToInt(row.text), row.value) << row.text;
}

TEST(StrToInt, RefusesWithTheOffendingText)
{
    for (const char *text :
         {"", "+", "-", "2147483648", "-2147483649", "99999999999999999999", "1a", " 1", "1 ", "0x10", "$10", "1.0"}) {
        const Outcome outcome = outcomeOf([&] { ops::StrToInt(text); });
        EXPECT_FALSE(outcome.reported) << text;
        EXPECT_EQ(outcome.text, std::string("'") + text + "' is not a valid integer value");
    }
}

} // namespace
