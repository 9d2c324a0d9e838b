// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/child_process.h"
#include "support/cli_in_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include "cli/commands.h"
#include "cli/failure_line.h"
#include "fileio/fault.h"
#include "fileio/file.h"
#include "fileio/printable_name.h"
#include "ops/size_preset.h"
#include "cli/run_operation.h"

#include <algorithm>
#include <new>
#include <sstream>

#include <unistd.h>

using namespace testsupport;

namespace {

// The argument handling runs in this process; a few cases run the program, for its exit status
// and its two streams as a shell sees them.

TEST(CliCut, SucceedsSilently)
{
    TempDir dir;
    const Bytes data = patternBytes(100);
    writeFile(dir.file("d.bin"), data);
    const CliResult r = runCli({"cut", "--count", "3", "--skip", "2", "--marker=#", dir.file("d.bin")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, ""); // not a terminal: no progress line
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"d#1.bin", "d#3.bin", "d.bin"}));
    EXPECT_EQ(readFile(dir.file("d#3.bin")), Bytes(data.begin() + 68, data.end()));
}

// --joiner picks the joiners --recons writes, all of them by default.
TEST(CliCut, JoinerOptionPicksTheJoiners)
{
    for (const auto &[option, script, program] :
         {std::tuple{"--joiner=all", true, true}, {"--joiner=both", false, true}, {"--joiner=sh", true, false}}) {
        TempDir dir;
        writeFile(dir.file("d.bin"), patternBytes(100));
        EXPECT_EQ(runCliInProcess({"cut", "--recons", option, dir.file("d.bin")}).status, 0);
        EXPECT_EQ(exists(dir.file("join.command")), script) << option;
        EXPECT_EQ(exists(dir.file("recons")), program) << option;
    }
}

// --recovery writes its recovery parts and the checksum list.
TEST(CliCut, RecoveryPartsComeWithTheChecksumList)
{
    TempDir dir;
    writeFile(dir.file("d.bin"), patternBytes(100));
    EXPECT_EQ(runCliInProcess({"cut", "-n", "3", "--recovery=2", dir.file("d.bin")}).status, 0);
    EXPECT_EQ(
        listDir(dir.path()),
        (std::vector<std::string>{"d.bin", "d.bin.rec1", "d.bin.rec2", "d1.bin", "d2.bin", "d3.bin", "info.sha256"}));
}

TEST(CliCut, BySizeWithUnitAndDelete)
{
    TempDir dir;
    const Bytes data = patternBytes(3000);
    writeFile(dir.file("d.bin"), data);
    // Short options, an abbreviation and options after the operand, the GNU way.
    const CliResult r = runCliInProcess({"cut", "-s1", dir.file("d.bin"), "--unit=Kb", "--del"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"d1.bin", "d2.bin", "d3.bin"}));
    EXPECT_EQ(readFile(dir.file("d3.bin")).size(), 3000u - 2048u);

    // A hyphen after spaces skips nothing: both parts are made before the source goes.
    writeFile(dir.file("s.bin"), data);
    EXPECT_EQ(runCliInProcess({"cut", "--count", "2", "--skip", " -", "--delete", dir.file("s.bin")}).status, 0);
    EXPECT_EQ(readFile(dir.file("s1.bin")).size() + readFile(dir.file("s2.bin")).size(), data.size());
}

TEST(CliCut, UnitRuleAndCountRange)
{
    TempDir dir;
    writeFile(dir.file("d.bin"), patternBytes(3000));
    // Letter case aside, "kB" is "Kb": 1024-byte parts, not 1-byte ones.
    EXPECT_EQ(runCliInProcess({"cut", "--size", "1", "--unit", "kB", dir.file("d.bin")}).status, 0);
    EXPECT_EQ(readFile(dir.file("d1.bin")).size(), 1024u);
    EXPECT_FALSE(exists(dir.file("d4.bin")));
    // Counts from 2 to 255 are taken as they are; others are refused before anything is made.
    // Parts made before are replaced only with -f.
    EXPECT_EQ(runCliInProcess({"cut", "--count", "2", "-f", dir.file("d.bin")}).status, 0);
    EXPECT_EQ(readFile(dir.file("d1.bin")).size(), 1500u);
    writeFile(dir.file("d.bin"), patternBytes(2550));
    EXPECT_EQ(runCliInProcess({"cut", "-n", "255", "--force", dir.file("d.bin")}).status, 0);
    EXPECT_TRUE(exists(dir.file("d255.bin")));
    for (const char *count : {"1", "256", "999", "-3"}) {
        const CliResult r = runCliInProcess({"cut", "--count", count, dir.file("d.bin")});
        EXPECT_EQ(r.status, 2) << count;
        EXPECT_NE(r.err.find("from 2 to 255"), std::string::npos) << r.err;
    }
    EXPECT_EQ(readFile(dir.file("d255.bin")).size(), 10u);
    // A preset is its bytes; names after the whole name are padded to three digits.
    writeFile(dir.file("e.bin"), patternBytes(7000001));
    EXPECT_EQ(runCliInProcess({"cut", "--size", "email10", "--names=001", dir.file("e.bin")}).status, 0);
    EXPECT_EQ(readFile(dir.file("e.bin.001")).size(), 7000000u);
    EXPECT_EQ(readFile(dir.file("e.bin.002")), Bytes{patternBytes(7000001).back()});
}

// The window's text, and the file and the reason the window leaves unsaid.
TEST(CliCut, FailuresNameTheFileAndTheReason)
{
    TempDir dir;
    writeFile(dir.file("one.bin"), patternBytes(1));
    writeFile(dir.file("two.bin"), patternBytes(2));
    writeFile(dir.file("two1.bin"), "kept");
    writeFile(dir.file("x\ny"), patternBytes(2));
    writeFile(dir.file("two.bin.001"), "kept");
    writeFile(dir.file("two.bin.rec1"), "kept");
    ::symlink("one.bin", dir.file("link").c_str());
    writeFile(dir.file("big.img"), "");
    ASSERT_EQ(::truncate(dir.file("big.img").c_str(), std::int64_t{4} << 30), 0); // sparse
    constexpr std::uint64_t kFat = 0x4d44;
    fileio::File opened; // parts beside /dev/stdin given a file would go into /dev
    ASSERT_EQ(fileio::openForReading(dir.file("two.bin"), opened), 0);
    const std::string descriptor = "/proc/self/fd/" + std::to_string(opened.handle());
    struct Row {
        std::vector<std::string> args;
        std::string err;
        std::uint64_t fileSystem = 0; // faked, where not 0
    } rows[] = {
        {{"cut", "missing.bin"}, "missing.bin: Invalid file name (No such file or directory)"},
        {{"cut", "one.bin"},
         "one.bin: Invalid file size (1 byte cannot be cut into 2 parts of at least one byte each)"},
        {{"cut", "-n", "3", "two.bin", "-f"},
         "two.bin: Invalid file size (2 bytes cannot be cut into 3 parts of at least one byte each)"},
        {{"cut", "two.bin"}, "would replace existing files (-f, --force replaces them): two1.bin"},
        {{"cut", "--recons", "x\ny"},
         "Cannot create file '1x?y' (info.txt cannot hold a name with a line end or Ctrl-Z)"},
        // A set its joiners cannot join; a link whose removal would leave the bytes in place.
        {{"cut", "--recons", "--skip", "2", "-f", "two.bin"},
         "two.bin: Invalid file size (a set of fewer than two parts cannot be joined by its joiners)"},
        {{"cut", "--delete", "link"},
         "link: Invalid file name (a symbolic link: deleting it would leave the file it leads to)"},
        {{"cut", "--names=001", "two.bin"}, "would replace existing files (-f, --force replaces them): two.bin.001"},
        {{"cut", "--recovery=1", "--names=001", "two.bin"},
         "would replace existing files (-f, --force replaces them): two.bin.001 two.bin.rec1"},
        // What a FAT file system beside the source cannot hold.
        {{"cut", "-s", "4096", "--unit", "Mb", "big.img"},
         "big.img: Invalid file size (parts of 4294967296 bytes do not fit a FAT file system (at most 4294967295 "
         "bytes a file): try --size fat32)",
         kFat},
        {{"cut", "-f", descriptor},
         descriptor + ": Invalid file name (it names an open descriptor, such as /dev/stdin, not a file in a folder)"},
    };
    for (const Row &row : rows) {
        const fileio::faults::ScopedFileSystemType faked(row.fileSystem);
        const CliResult r = runCliInProcess(row.args, dir.path());
        EXPECT_EQ(r.status, 1) << row.err;
        EXPECT_EQ(r.err, "skarvel-cli: " + row.err + "\n");
    }
    EXPECT_EQ(listDir(dir.path()),
              (std::vector<std::string>{"big.img", "link", "one.bin", "two.bin", "two.bin.001", "two.bin.rec1",
                                        "two1.bin", "x\ny"}));
    EXPECT_EQ(readText(dir.file("two1.bin")), "kept");
    const CliResult r = runCli({"cut", dir.file("missing.bin")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}

TEST(CliCut, BadArgumentsNameTheProblem)
{
    TempDir dir;
    writeFile(dir.file("x"), patternBytes(10));
    for (const std::vector<std::string> &args :
         std::vector<std::vector<std::string>>{{"cut"},
                                               {"cut", "a", "b"},
                                               {"cut", "--count"},
                                               {"cut", "--count", "two", "x"},
                                               {"cut", "--frobnicate", "x"},
                                               {"slice", "x"},
                                               {},
                                               {"cut", "--s", "3", "x"},
                                               {"cut", "--recons=yes", "x"},
                                               {"cut", "-n", "0", "x"},
                                               {"help", "slice"},
                                               // --only re-makes parts of a set and leaves its lists alone.
                                               {"cut", "--only", "2", "--recons", "x"},
                                               {"cut", "--only=2", "--skip=3", "x"},
                                               {"cut", "--only=2", "--sha256", "x"},
                                               {"cut", "--only=2", "--delete", "x"},
                                               {"unite", "-o", "y", "--no-verify", "x"},
                                               {"verify", "a", "b"},
                                               {"cut", "--joiner=windows", "x"},
                                               {"cut", "--recons", "--joiner=macos", "x"},
                                               // A size that makes no parts of a size, and a unit that is none.
                                               {"cut", "--size", "-5", "x"},
                                               {"cut", "-s", "abc", "x"},
                                               {"cut", "-s", "0", "x"},
                                               {"cut", "--size=", "x"},
                                               {"cut", "-s", "5000000000", "x"},
                                               {"cut", "-s", "2147483648", "x"},
                                               {"cut", "-s", "+5", "x"},
                                               {"cut", "-s", "1", "--unit", "parsecs", "x"},
                                               {"cut", "--unit=", "x"},
                                               {"cut", "--marker", "/p", "x"},
                                               // Only 001, and without a marker; a preset takes no unit.
                                               {"cut", "--names=01", "x"},
                                               {"cut", "--names=001", "--marker=#", "x"},
                                               {"cut", "-s", "fat32", "--unit", "Mb", "x"},
                                               {"cut", "-s", "FAT32", "x"},
                                               // A part list that is no list, one that names no part
                                               // of the plan, and parts left out lost with the source.
                                               {"cut", "--skip", "1 2147483648", "x"},
                                               {"cut", "--only", "99", "x"},
                                               {"cut", "--only=", "x"},
                                               {"cut", "--delete", "--skip", "2", "x"},
                                               // Standard input: by size, every part, named, kept.
                                               {"cut", "-s", "3", "-"},
                                               {"cut", "-n", "3", "-", "--name=y"},
                                               {"cut", "-s", "3", "--name=a/y", "-"},
                                               {"cut", "-s", "3", "--skip=2", "--name=y", "-"},
                                               {"cut", "-s", "3", "--delete", "--name=y", "-"},
                                               {"cut", "-s", "3", "--names=001", "--name=y", "-"},
                                               {"cut", "--name=y", "x"},
                                               // Recovery parts: 1 to 100, of every part of a file.
                                               {"cut", "--recovery", "0", "x"},
                                               {"cut", "--recovery=101", "x"},
                                               {"cut", "--recovery=two", "x"},
                                               {"cut", "--recovery=1", "--only=2", "x"},
                                               {"cut", "--recovery=1", "--skip=2", "x"},
                                               {"cut", "-s", "3", "--recovery=1", "--name=y", "-"}}) {
        const CliResult r = runCliInProcess(args, dir.path());
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(r.out, "");
        // One line naming the problem, then the way to the help.
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
        EXPECT_TRUE(r.err.starts_with("skarvel-cli: ")) << r.err;
        EXPECT_TRUE(r.err.ends_with("\nTry 'skarvel-cli --help'.\n")) << r.err;
    }
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"x"});
}

TEST(CliCut, HelpAndVersionGoToStandardOutput)
{
    const struct Row {
        std::vector<std::string> args;
        std::vector<const char *> shown;
    } rows[] = {
        {{"--help"}, {"cut [OPTION]... SOURCE", "unite -o OUTPUT INPUT...", "codify", "erase FILE", "verify [LIST]"}},
        {{"cut", "--help"},
         {"--count", "--size", "--unit", "--skip", "--marker", "--recons", "--delete", "--quiet", "--sha256",
          "--joiner", "--only", "--names=001", "sort in their order in a shell glob"}},
        {{"cut", "-h", "--count", "1"}, {"Usage: skarvel-cli cut"}},
        {{"help", "unite"}, {"-o, --output=OUTPUT", "--no-verify"}},
        {{"-q", "help", "erase"}, {"Usage: skarvel-cli erase FILE"}},
        {{"codify", "--hel"}, {"modulo 256", "not encryption", "wrong KEY is not detected"}},
        {{"erase", "-h"}, {"Usage: skarvel-cli erase FILE"}},
        {{"-V"},
         {"skarvel-cli (Skarvel) 0.", "\nCopyright (C) 2026 the Skarvel developers.\n",
          "\nLicense GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n",
          "\nThis is free software: you are free to change and redistribute it.\n",
          "\nThere is NO WARRANTY, to the extent permitted by law.\n"}},
        {{"unite", "--version"}, {"skarvel-cli (Skarvel) 0."}},
    };
    for (const Row &row : rows) {
        const CliResult r = runCliInProcess(row.args);
        EXPECT_EQ(r.status, 0) << row.args.front();
        EXPECT_EQ(r.err, "");
        for (const char *text : row.shown)
            EXPECT_NE(r.out.find(text), std::string::npos) << text;
    }
    // Each preset on a line of its own, with its bytes.
    const std::string help = runCliInProcess({"cut", "--help"}).out;
    for (const ops::SizePreset &preset : ops::sizePresets()) {
        const std::size_t at = help.find("\n  " + std::string(preset.name) + " ");
        ASSERT_NE(at, std::string::npos) << preset.name;
        const std::string line = help.substr(at + 1, help.find('\n', at + 1) - at - 1);
        EXPECT_NE(line.find(" " + std::to_string(preset.bytes) + "  "), std::string::npos) << line;
    }
}

// Every help and the version fit a terminal of 80 columns.
TEST(CliCut, HelpLinesFitIn79Columns)
{
    std::vector<std::vector<std::string>> rows{{"--help"}, {"--version"}};
    for (const cli::Command *command : cli::allCommands())
        rows.push_back({command->name, "--help"});
    for (const std::vector<std::string> &args : rows) {
        std::istringstream text(runCliInProcess(args).out);
        for (std::string line; std::getline(text, line);)
            EXPECT_LE(line.size(), 79u) << args.front() << ": " << line;
    }
}

// Whatever bytes a name holds, what a terminal is shown of it holds no control character; the
// command line quotes it only where a shell would need it.
TEST(CliQuoting, NoControlCharacterReachesATerminal)
{
    const struct Row {
        std::string name, shown, quoted;
    } rows[] = {
        {"film1.mkv", "film1.mkv", "film1.mkv"},
        {"фильм ü.mkv", "фильм ü.mkv", "'фильм ü.mkv'"},
        {std::string("b\0c", 3), "b?c", "'b?c'"},
        {"\x1b[31mred", "?[31mred", "'?[31mred'"},
        {"csi\xc2\x9b"
         "2J",
         "csi?2J", "'csi?2J'"}, // U+009B in UTF-8
        {"raw\x9b"
         "2J",
         "raw?2J", "'raw?2J'"},                                      // the same control as a single byte
        {"cp1251 \xe0\xff", "cp1251 \xe0\xff", "'cp1251 \xe0\xff'"}, // letters in an 8-bit code page
        {"it's", "it's", "'it'\\''s'"},
        {"line\nend", "line?end", "'line?end'"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(fileio::printableName(row.name), row.shown) << row.shown;
        EXPECT_EQ(cli::quotedName(row.name), row.quoted) << row.shown;
    }
}

// Whatever the layers below throw ends as one line and a failed run, not an abort.
TEST(CliRun, UnexpectedExceptionsAreOneLine)
{
    const struct Row {
        std::function<void()> work;
        const char *err;
    } rows[] = {
        {[] { throw std::length_error("basic_string::_M_create"); }, "skarvel-cli: basic_string::_M_create\n"},
        {[] { throw std::bad_alloc(); }, "skarvel-cli: memory exhausted\n"},
    };
    for (const Row &row : rows) {
        const CliResult r = runInProcess([&] { return cli::runOperation(row.work); });
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, row.err);
    }
}

} // namespace
