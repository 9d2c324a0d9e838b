// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/checksum_list.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

const std::string kHex = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08"; // of "test"

TEST(ChecksumLine, ReadsWhatSha256sumWritesAndRefusesTheRest)
{
    struct Row {
        std::string line; // without its LF
        const char *name; // nullptr: not a SHA-256 line
    } rows[] = {
        {kHex + "  film1.avi", "film1.avi"},
        {kHex + " *film1.avi", "film1.avi"}, // binary mode marker
        {kHex + "  a b.bin\r", "a b.bin"},   // a list edited on Windows
        {"\\" + kHex + "  a\\\\b\\nc\\rd", "a\\b\nc\rd"},
        {kHex + "  a\\b", "a\\b"},          // no leading backslash: taken as it stands
        {"\\" + kHex + "  a\\tb", nullptr}, // no such escape
        {"\\" + kHex + "  a\\", nullptr},
        {kHex + "  ", nullptr}, // no name
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

// The reader holds one line at a time, and never more than its cap: a longer line is not ours and
// reads as malformed, without throwing the next line off.
TEST(ChecksumReader, ReadsLineByLineWithinItsCap)
{
    using Line = lists::ChecksumReader::Line;
    const std::string atCap(2 * 4096, 'n'); // the longest name an escaped path gives
    const struct Row {
        const char *why;
        std::string text;
        std::vector<std::pair<Line, std::string>> lines; // the entries' names
        bool incomplete = false;
    } rows[] = {
        {"a name at the cap", kHex + "  " + atCap + "\n" + kHex + "  b\n", {{Line::Entry, atCap}, {Line::Entry, "b"}}},
        {"a line past it", kHex + "  " + atCap + "xx\n" + kHex + "  b\n", {{Line::Malformed, ""}, {Line::Entry, "b"}}},
        {"a whole byte-order mark", "\xEF\xBB\xBF" + kHex + "  a\n", {{Line::Entry, "a"}}},
        {"part of one belongs to the line", "\xEF\xBB" + kHex + "  a\n", {{Line::Malformed, ""}}},
        {"comments and empty lines", "# note\n\n\r\n" + kHex + "  a", {{Line::Entry, "a"}}},
        {"the incomplete set's comment",
         std::string(lists::kIncompleteSetComment) + "\r\n" + kHex + "  a\n",
         {{Line::Entry, "a"}},
         true},
    };
    for (const Row &row : rows) {
        testsupport::TempDir dir;
        testsupport::writeFile(dir.file("list"), row.text);
        fileio::File file;
        ASSERT_EQ(fileio::openForReading(dir.file("list"), file), 0);
        lists::ChecksumReader reader(file);
        std::vector<std::pair<Line, std::string>> read;
        for (;;) {
            Line kind{};
            lists::ChecksumEntry entry;
            ASSERT_EQ(reader.next(kind, entry), 0) << row.why;
            if (kind == Line::End)
                break;
            read.emplace_back(kind, kind == Line::Entry ? entry.name : "");
        }
        EXPECT_EQ(read, row.lines) << row.why;
        EXPECT_EQ(reader.incompleteSet(), row.incomplete) << row.why;
    }
}

} // namespace
