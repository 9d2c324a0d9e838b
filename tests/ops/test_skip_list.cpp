// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/failure.h"
#include "ops/skip_list.h"

#include "support/outcome.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using testsupport::Outcome;
using testsupport::outcomeOf;

using Numbers = std::vector<std::int32_t>;

TEST(ParseSkipList, Texts)
{
    struct Row {
        const char *text;
        Numbers numbers;
    } rows[] = {
        {"", {}},
        {"3 5", {3, 5}},
        {"5 3 3", {3, 5}}, // sorted, duplicates gone
        {"2-4", {2, 3, 4}},
        {"4-2", {2, 3, 4}}, // a reversed range is the same
        {"2-2", {2}},
        {"-3", {1, 2, 3}}, // a leading hyphen opens the range at 1
        {"-", {1}},
        {"7-", {7}},         // a hyphen that no number follows does nothing
        {"2--4", {2, 3, 4}}, // hyphens in a row act as one
        {"2 - 4", {2, 3, 4}},
        {"3 -5", {3, 4, 5}},
        {"1-3-5", {1, 2, 3, 4, 5}}, // ranges chain
        {"8-3-1", {1, 2, 3, 4, 5, 6, 7, 8}},
        {"0", {}},
        {"0 0 00", {}},
        {"0-2", {1, 2}},
        {"007", {7}},
        {"12 1-2", {1, 2, 12}},
        {" -5", {1, 2, 3, 4, 5}}, // spaces then a hyphen: like a leading hyphen
        {"  -2 9", {1, 2, 9}},
        {"- -3", {1, 2, 3}},
        {"   ", {}},
        {"5 - ", {5}},
        {"3-1 2-6", {1, 2, 3, 4, 5, 6}},
        {" -", {}}, // the 1 comes only from a hyphen that is the first character
        {"  -  ", {}},
        {" --", {}},
        {"- ", {1}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(ops::ParseSkipList(row.text).numbers(), row.numbers) << "'" << row.text << "'";
}

TEST(ParseSkipList, BadNumberNamesTheRun)
{
    struct Row {
        const char *text;
        const char *message;
    } rows[] = {
        {"1 2147483648", "'2147483648' is not a valid integer value"},
        {"3-x7 5", "'x7' is not a valid integer value"}, // pasted text is not filtered
        {"1,2", "'1,2' is not a valid integer value"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(outcomeOf([&] { ops::ParseSkipList(row.text); }).text, row.message) << row.text;
    }
}

TEST(ParseSkipList, WideRangesCostNothing)
{
    const auto start = std::chrono::steady_clock::now();
    const ops::SkipList list = ops::ParseSkipList("1-2000000000 2147483647-5");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ASSERT_EQ(list.ranges().size(), 1u);
    EXPECT_EQ(list.ranges()[0], (ops::SkipList::Range{1, 2147483647}));
    EXPECT_TRUE(list.contains(1999999999));
    EXPECT_FALSE(list.contains(0));
    EXPECT_EQ(list.numbers(4), (Numbers{1, 2, 3, 4}));
}

TEST(ParseSkipList, MillionCharacterText)
{
    std::string text;
    for (int i = 1; text.size() < 1000000; ++i)
        text += std::to_string(i * 7 % 100000) + (i % 3 ? " " : "-");
    const ops::SkipList list = ops::ParseSkipList(text);
    EXPECT_FALSE(list.empty());
    EXPECT_TRUE(list.contains(7));
}

TEST(SkipList, ContainsMatchesTheNumbers)
{
    const ops::SkipList list = ops::ParseSkipList("2 4-6 9 11-12");
    const Numbers expected{2, 4, 5, 6, 9, 11, 12};
    EXPECT_EQ(list.numbers(), expected);
    for (std::int64_t n = -1; n <= 14; ++n) {
        const bool listed = std::find(expected.begin(), expected.end(), n) != expected.end();
        EXPECT_EQ(list.contains(n), listed) << n;
    }
}

} // namespace
