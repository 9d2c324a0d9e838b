// SPDX-License-Identifier: GPL-3.0-or-later
// Part names and output names built from hostile text: slashes, "..", newlines, bytes that are not
// UTF-8, names longer than the system takes. Either the file lands exactly where the naming rule
// puts it, or a clear message comes and nothing is written at all.
#include "fault_walk.h"
#include "joiner_run.h"

#include "support/temp_dir.h"

#include "ops/cut.h"
#include "ops/progress.h"
#include "ops/unite.h"
#include "partset/cut_set.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace reliability {
namespace {

using namespace testsupport;
namespace fs = std::filesystem;

constexpr std::size_t kSourceBytes = 2000; // two parts of 1000
const Bytes kSource = patternBytes(kSourceBytes, 31);

// Every file and folder under root, by relative name, with a file's bytes.
std::map<std::string, Bytes> tree(const std::string &root)
{
    std::map<std::string, Bytes> entries;
    for (const auto &entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        entries[name] = entry.is_regular_file() ? readFile(entry.path().string()) : Bytes{'/'};
    }
    return entries;
}

// What appeared, disappeared or changed between two trees.
std::vector<std::string> changes(const std::map<std::string, Bytes> &before, const std::map<std::string, Bytes> &after)
{
    std::vector<std::string> out;
    for (const auto &[name, bytes] : after) {
        const auto it = before.find(name);
        if (it == before.end())
            out.push_back("+" + name);
        else if (it->second != bytes)
            out.push_back("~" + name);
    }
    for (const auto &[name, bytes] : before) {
        if (!after.count(name))
            out.push_back("-" + name);
    }
    return out;
}

struct CutNameRow {
    const char *name;
    std::string source; // under w/
    std::string marker;
    std::vector<std::string> folders; // made first, relative to the root
    // The parts as the rule names them, relative to the root; empty when creating part 1 fails.
    std::vector<std::string> parts;
};

void PrintTo(const CutNameRow &row, std::ostream *out)
{
    *out << row.name;
}

const std::string kLongName(300, 'x');

std::string tooLongPath()
{
    std::string marker;
    while (marker.size() <= 4200)
        marker += "/" + std::string(200, 'y');
    return marker;
}

const CutNameRow kCutNameRows[] = {
    // A marker holding "/" would lead the parts into a folder: refused, even where that folder exists.
    {"SlashIntoAMissingFolder", "data.bin", "a/b", {}, {}},
    {"SlashIntoAFolder", "data.bin", "a/b", {"w/dataa"}, {}},
    {"DotDotUpTwoFolders", "data.bin", "/../../x", {"w/data"}, {}},
    {"DotDotAsAName", "data.bin", "/..", {"w/data"}, {}},
    {"DotDotWithoutSlash", "data.bin", "..", {}, {"w/data..1.bin", "w/data..2.bin"}},
    {"Newline", "data.bin", "\n", {}, {"w/data\n1.bin", "w/data\n2.bin"}},
    {"NewlineInTheSource", "da\nta.bin", "", {}, {"w/da\nta1.bin", "w/da\nta2.bin"}},
    {"NotUtf8",
     "d\xff\xfe.bin",
     "\xc3",
     {},
     {"w/d\xff\xfe\xc3"
      "1.bin",
      "w/d\xff\xfe\xc3"
      "2.bin"}},
    // The last four characters of "data.рф" are "a.рф": the number never splits a character.
    {"Utf8Suffix", "data.\xd1\x80\xd1\x84", "", {}, {"w/dat1a.\xd1\x80\xd1\x84", "w/dat2a.\xd1\x80\xd1\x84"}},
    {"WindowsSpecials", "data.bin", "*?:\\|<>", {}, {"w/data*?:\\|<>1.bin", "w/data*?:\\|<>2.bin"}},
    // A name shorter than four characters: the number goes before it, never into the folder part.
    {"ShortNameAfterAFolder", "abc", "", {}, {"w/1abc", "w/2abc"}},
    {"LongerThanNameMax", "data.bin", kLongName, {}, {}},
    {"LongerThanPathMax", "data.bin", tooLongPath(), {}, {}},
};

class HostileCutNames : public ::testing::TestWithParam<CutNameRow> {};

TEST_P(HostileCutNames, ThePartsLandWhereTheRuleSaysOrNothingIsWritten)
{
    const CutNameRow &row = GetParam();
    TempDir root;
    fs::create_directory(root.file("w"));
    for (const std::string &folder : row.folders)
        fs::create_directories(root.file(folder));
    const std::string source = root.file("w/" + row.source);
    writeFile(source, kSource);
    const auto before = tree(root.path());

    ops::CutRequest request;
    request.source = source;
    request.mode.count = 2;
    request.marker = row.marker;
    request.deleteSource = true;
    ops::NullProgress progress;
    const int descriptors = openDescriptorCount();
    const Outcome outcome = outcomeOf([&] { ops::Cut(request, progress); });
    EXPECT_EQ(openDescriptorCount(), descriptors);

    const auto after = tree(root.path());
    if (row.parts.empty()) {
        const std::string part = root.file("w/" + row.source.substr(0, row.source.size() - 4) + row.marker + "1"
                                           + row.source.substr(row.source.size() - 4));
        EXPECT_TRUE(outcome.failed);
        EXPECT_EQ(outcome.text, "Cannot create file " + part);
        EXPECT_EQ(changes(before, after), std::vector<std::string>{}) << "a failed Cut wrote something";
        return;
    }
    ASSERT_FALSE(outcome.failed) << outcome.text;
    std::vector<std::string> expected = {"-w/" + row.source};
    for (const std::string &part : row.parts)
        expected.push_back("+" + part);
    std::vector<std::string> got = changes(before, after);
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(readFile(root.file(row.parts[0])), Bytes(kSource.begin(), kSource.begin() + 1000));
    EXPECT_EQ(readFile(root.file(row.parts[1])), Bytes(kSource.begin() + 1000, kSource.end()));
}

INSTANTIATE_TEST_SUITE_P(Reliability, HostileCutNames, ::testing::ValuesIn(kCutNameRows),
                         [](const auto &info) { return std::string(info.param.name); });

// Cut refuses part names with a newline when it writes info.txt, before anything is made: a reader
// of the list that ends lines at LF would see other names. The joiner still reads such names back
// whole from a list made by hand: only CR ends a line there.
TEST(HostileListNames, PartsWithNewlinesJoinAgain)
{
    TempDir dir;
    const std::string source = dir.file("data.bin");
    writeFile(source, kSource);
    ops::CutRequest request;
    request.source = source;
    request.mode.count = 2;
    request.marker = "\n\n";
    request.writePartList = true;
    request.joiners = partset::joinerImages();
    ops::NullProgress progress;
    const Outcome outcome = outcomeOf([&] { ops::Cut(request, progress); });
    EXPECT_EQ(outcome.text, "Cannot create file " + dir.file("data\n\n1.bin"));
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"data.bin"}) << "a refused Cut wrote something";

    writeFile(dir.file("data\n\n1.bin"), Bytes(kSource.begin(), kSource.begin() + 1000));
    writeFile(dir.file("data\n\n2.bin"), Bytes(kSource.begin() + 1000, kSource.end()));
    writeFile(dir.file("info.txt"), std::string("data\n\n1.bin\r\ndata\n\n2.bin\r\n"));
    const JoinerRun run = runJoinerIn(dir.path(), "joined.bin\n\n", dir.path());
    EXPECT_EQ(run.status, 0) << run.printed;
    EXPECT_EQ(readFile(dir.file("joined.bin")), kSource);
}

struct UniteNameRow {
    const char *name;
    std::string output; // relative to the root
    // The folders it needs and then the output, as they appear.
    std::vector<std::string> made;
    bool joins; // false: "Invalid file name"
};

void PrintTo(const UniteNameRow &row, std::ostream *out)
{
    *out << row.name;
}

const UniteNameRow kUniteNameRows[] = {
    {"DotDotAfterANewFolder", "w/new/../joined.bin", {"w/new", "w/joined.bin"}, true},
    {"Newline", "w/join\ned.bin", {"w/join\ned.bin"}, true},
    {"NotUtf8", "w/\xff\xfe", {"w/\xff\xfe"}, true},
    {"LongerThanNameMax", "w/" + kLongName, {}, false},
    {"Wildcard", "w/*.*", {}, false},
    // The output cannot be a folder; the folder made for it is taken away again.
    {"EndsInASlash", "w/out/", {}, false},
};

class HostileUniteNames : public ::testing::TestWithParam<UniteNameRow> {};

TEST_P(HostileUniteNames, TheOutputLandsWhereItIsNamedOrNothingIsWritten)
{
    const UniteNameRow &row = GetParam();
    TempDir root;
    fs::create_directory(root.file("w"));
    writeFile(root.file("w/a.bin"), kSource);
    const auto before = tree(root.path());
    ops::NullProgress progress;
    const Outcome outcome = outcomeOf([&] {
        ops::Unite({root.file("w/a.bin"), root.file("w/a.bin")}, root.file(row.output), progress);
    });

    std::vector<std::string> expected;
    for (const std::string &name : row.made)
        expected.push_back("+" + name);
    std::vector<std::string> got = changes(before, tree(root.path()));
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected);
    if (!row.joins) {
        EXPECT_TRUE(outcome.failed && outcome.text == "Invalid file name") << outcome.text;
        return;
    }
    ASSERT_FALSE(outcome.failed) << outcome.text;
    Bytes twice = kSource;
    twice.insert(twice.end(), kSource.begin(), kSource.end());
    EXPECT_EQ(readFile(root.file(row.made.back())), twice);
}

INSTANTIATE_TEST_SUITE_P(Reliability, HostileUniteNames, ::testing::ValuesIn(kUniteNameRows),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace reliability
