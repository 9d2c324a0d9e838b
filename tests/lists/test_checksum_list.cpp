// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/checksum_list.h"

#include <gtest/gtest.h>

namespace {

const std::string kHex = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08"; // of "test"

TEST(ChecksumLine, ReadsWhatSha256sumWritesAndRefusesTheRest)
{
    struct Row {
        std::string line; // without its LF
        const char *name; // nullptr: not a SHA-256 line
    } rows[] = {
        {kHex + "  film1.avi", "film1.avi"},
        {kHex + " *film1.avi", "film1.avi"},         // binary mode marker
        {kHex + "  a b.bin\r", "a b.bin"},          // a list edited on Windows
        {"\\" + kHex + "  a\\\\b\\nc\\rd", "a\\b\nc\rd"},
        {kHex + "  a\\b", "a\\b"},                  // no leading backslash: taken as it stands
        {"\\" + kHex + "  a\\tb", nullptr},          // no such escape
        {"\\" + kHex + "  a\\", nullptr},
        {kHex + "  ", nullptr},                      // no name
        {kHex + " film", nullptr},
        {kHex.substr(1) + "   film", nullptr},
        {"g" + kHex.substr(1) + "  film", nullptr},
        {"SHA256 (film) = " + kHex, nullptr},
    };
    for (const Row &row : rows) {
        const auto entry = lists::parseChecksumLine(row.line);
        ASSERT_EQ(entry.has_value(), row.name != nullptr) << row.line;
        if (entry) {
            EXPECT_EQ(entry->name, row.name);
            EXPECT_EQ(digest::toHex(entry->digest), kHex);
        }
    }
}

TEST(ChecksumLine, WritesWhatItReadsBack)
{
    const auto digest = digest::digestFromHex(kHex);
    ASSERT_TRUE(digest);
    EXPECT_EQ(lists::checksumLine(*digest, "film1.avi"), kHex + "  film1.avi\n");
    EXPECT_EQ(lists::checksumLine(*digest, "a\\b\n"), "\\" + kHex + "  a\\\\b\\n\n");
    for (const std::string name : {"plain", "a\\b", "x\ny\rz", "\\\\"}) {
        const std::string line = lists::checksumLine(*digest, name);
        EXPECT_EQ(lists::parseChecksumLine(line.substr(0, line.size() - 1))->name, name);
    }
}

} // namespace
