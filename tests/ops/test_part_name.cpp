// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/part_name.h"

#include <gtest/gtest.h>

namespace {

TEST(PartFileName, InsertsBeforeTheLastFourCharacters)
{
    struct Row {
        const char *source;
        const char *marker;
        std::int64_t part;
        const char *expected;
    } rows[] = {
        {"/data/film.avi", "#", 3, "/data/film#3.avi"},
        {"/data/film.avi", "", 3, "/data/film3.avi"},
        {"/x/page.html", "", 12, "/x/page.12html"},
        {"/x/arch.gz", "#", 2, "/x/arc#2h.gz"},
        {"/x/README", "", 3, "/x/RE3ADME"},
        {"/x/ab", "", 1, "/x/1ab"}, // never before the file name: parts stay beside it
        {"x/abc", "", 2, "x/2abc"},
        {"./ab", "", 1, "./1ab"},
        {"dir/", "", 1, "dir/1"},
        {"a.txt", "", 1, "a1.txt"},
        {"abcd", "", 1, "1abcd"},
        {"abc", "", 3, "3abc"},
        {"", "#", 1, "#1"},
        {"/t/data.bin", "(14:05:09)", 255, "/t/data(14:05:09)255.bin"},
        {"/t/data.bin", "", 5000000000, "/t/data5000000000.bin"},
        // UTF-8: characters, not bytes, are counted, so none is split.
        {"/t/фильм.ави", "№", 2, "/t/фильм№2.ави"},
        {"/t/x.ави", "", 1, "/t/x1.ави"},
        {"/t/данные", "", 1, "/t/да1нные"},
        {"/t/a\xff\xfe\xfd\xfc", "", 1, "/t/a1\xff\xfe\xfd\xfc"}, // invalid bytes count one each
        {"/t/a\xd0", "", 1, "/t/1a\xd0"},                         // a cut-off character too
    };
    for (const Row &row : rows)
        EXPECT_EQ(ops::PartFileName(row.source, row.marker, row.part), row.expected) << row.source;
}

// Zero-padded to three digits, or to the digits of the part count, so that the names sort.
TEST(NumberedPartName, PadsToThePartCountsDigits)
{
    struct Row {
        std::int64_t part, count;
        const char *expected;
    } rows[] = {{1, 2, "/t/film.mkv.001"},
                {999, 999, "/t/film.mkv.999"},
                {7, 1000, "/t/film.mkv.0007"},
                {1000, 1000, "/t/film.mkv.1000"},
                {12, 123456, "/t/film.mkv.000012"}};
    for (const Row &row : rows)
        EXPECT_EQ(ops::NumberedPartName("/t/film.mkv", row.part, row.count), row.expected) << row.part;
}

} // namespace
