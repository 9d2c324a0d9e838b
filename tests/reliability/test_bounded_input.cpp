// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of a million characters, from the skip field, the size field, the part list and the
// joiner's prompt: each ends quickly, and a list line or a typed name is never held in full.
#include "joiner_run.h"

#include "support/temp_dir.h"

#include "fileio/failure.h"
#include "fileio/file.h"
#include "ops/skip_list.h"
#include "ops/split_plan.h"
#include "lists/part_list_reader.h"
#include "lists/name_limit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace reliability {
namespace {

using namespace testsupport;

constexpr std::size_t kMillion = 1000000;
// Generous for a sanitizer build on a busy machine; the plain build needs milliseconds.
constexpr auto kQuickly = std::chrono::seconds(3);

std::string repeated(const std::string &piece)
{
    std::string text;
    while (text.size() < kMillion)
        text += piece;
    return text;
}

std::string counting(bool down)
{
    std::string text;
    for (int n = 1; text.size() < kMillion; ++n)
        text += std::to_string(down ? 2000000 - n : n) + " ";
    return text;
}

struct SkipRow {
    const char *name;
    std::function<std::string()> text;
    bool converts;
};

void PrintTo(const SkipRow &row, std::ostream *out)
{
    *out << row.name;
}

const SkipRow kSkipRows[] = {
    {"WideRanges", [] { return repeated("1-2000000000 "); }, true},
    {"ChainedRanges", [] { return repeated("5-1-9-"); }, true},
    {"Ascending", [] { return counting(false); }, true},
    {"Descending", [] { return counting(true); }, true},
    {"OnlyHyphens", [] { return repeated("- "); }, true},
    {"LeadingZeros", [] { return std::string(kMillion, '0') + "7"; }, true},
    {"OneHugeNumber", [] { return std::string(kMillion, '9'); }, false},
};

class MillionCharacterSkipText : public ::testing::TestWithParam<SkipRow> {};

TEST_P(MillionCharacterSkipText, EndsQuickly)
{
    const std::string text = GetParam().text();
    const auto start = std::chrono::steady_clock::now();
    bool converted = true;
    try {
        const ops::SkipList skip = ops::ParseSkipList(text);
        EXPECT_LE(skip.ranges().size(), text.size());
    } catch (const fileio::Failure &) {
        converted = false;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, kQuickly);
    EXPECT_EQ(converted, GetParam().converts);
}

INSTANTIATE_TEST_SUITE_P(Reliability, MillionCharacterSkipText, ::testing::ValuesIn(kSkipRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(MillionCharacterSizeText, IsNoNumberAndEndsQuickly)
{
    ops::SplitMode mode;
    mode.bySize = true;
    mode.sizeText = std::string(kMillion, '1');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(ops::MakeSplitPlan(1000, mode), fileio::Failure);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kQuickly);
}

TEST(MillionCharacterListLine, IsCutToTheNameLimit)
{
    TempDir dir;
    writeFile(dir.file("info.txt"), std::string(kMillion, 'p') + "\r\np2\r\n");
    fileio::File file;
    ASSERT_EQ(fileio::openForReading(dir.file("info.txt"), file), 0);
    lists::PartListReader reader(file);
    EXPECT_EQ(reader.readLine().size(), lists::kMaxNameBytes + 1);
    EXPECT_EQ(reader.readLine(), "p2");
    EXPECT_TRUE(reader.atEnd());
}

// The console is read one byte per call so that nothing after the line is taken: a hundred
// thousand characters are plenty beyond any path.
TEST(LongOutputName, IsRefusedAsAName)
{
    TempDir dir;
    writeFile(dir.file("p1"), std::string("one"));
    writeFile(dir.file("p2"), std::string("two"));
    writeFile(dir.file("info.txt"), std::string("p1\r\np2\r\n"));
    const auto start = std::chrono::steady_clock::now();
    const JoinerRun run = runJoinerIn(dir.path(), std::string(kMillion / 10, 'o') + "\n\n", dir.path());
    EXPECT_LT(std::chrono::steady_clock::now() - start, kQuickly);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(joinerReportText(run.printed), "Invalid filename");
    EXPECT_EQ(readText(dir.file("p1")), "one");
}

} // namespace
} // namespace reliability
