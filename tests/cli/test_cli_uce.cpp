// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/child_process.h"
#include "support/scratch_mount.h"
#include "support/skip.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

using namespace testsupport;

namespace {

// A run that failed the way the window would report it: one line, exit 1.
void expectFailure(const CliResult &r, const std::string &text)
{
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "skarvel-cli: " + text + "\n");
}

void expectUsage(const CliResult &r)
{
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.ends_with("\nTry 'skarvel-cli --help'.\n")) << r.err;
}

TEST(CliUnite, JoinsSilently)
{
    TempDir dir;
    writeFile(dir.file("a"), Bytes{1, 2});
    writeFile(dir.file("b"), Bytes{3});
    const CliResult r = runCli({"unite", "--output=new/out.bin", "b", "a", "b"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(dir.file("new/out.bin")), (Bytes{3, 1, 2, 3}));
}

// Standard input cut into parts, by sizes that end on a part's edge and not, joined onto standard
// output, checked by the list and not.
TEST(CliUnite, JoinsOntoStandardOutputWhatCutTookFromStandardInput)
{
    TempDir dir;
    const Bytes data = patternBytes(50000); // fits into the pipe before it is read
    const std::string text(data.begin(), data.end());
    std::filesystem::create_directory(dir.file("d"));
    for (const char *size : {"10000", "12345"}) {
        const CliResult cut = runProgram(
            cliPath(), {"cut", "-f", "-s", size, "--recons", "-", "--name", "f.bin", "--dir", "d"}, dir.path(), text);
        ASSERT_EQ(cut.status, 0) << cut.err;
        for (const char *verify : {"--quiet", "--no-verify"}) {
            const CliResult unite = runCli({"unite", "-o", "-", verify, "--list=d/info.txt"}, dir.path());
            EXPECT_EQ(unite.status, 0) << unite.err;
            EXPECT_EQ(unite.out, text) << size << verify;
        }
    }
    EXPECT_FALSE(exists(dir.file("d/f6.bin")));
}

TEST(CliUnite, WithoutInputsOrWithoutOptionOTouchesNothing)
{
    TempDir dir;
    const std::vector<std::string> parts{"p1", "p2", "p3"};
    for (const std::string &part : parts)
        writeFile(dir.file(part), part);
    // The shapes a glob or a habit of OUTPUT-first makes: none may empty p1 or p2.
    for (const std::vector<std::string> &args :
         std::vector<std::vector<std::string>>{{"unite", "out.bin"},
                                               {"unite", "-o", "out.bin"},
                                               {"unite", "p1", "p2", "p3"},
                                               {"unite", "p2"},
                                               {"unite", "p1", "p2", "-o"},
                                               {"unite", "--", "-o", "out.bin", "p1"},
                                               {"unite", "-o", "out.bin", "p1", "-"}})
        expectUsage(runCli(args, dir.path()));
    EXPECT_EQ(listDir(dir.path()), parts);
    for (const std::string &part : parts)
        EXPECT_EQ(readText(dir.file(part)), part);
}

TEST(CliUnite, FailuresAreInvalidFileNameNamingTheFileAndWhy)
{
    TempDir dir;
    writeFile(dir.file("a"), Bytes{1});
    const std::string kInput = "it is one of the files being joined, or a list they come from";
    expectFailure(runCli({"unite", "-o", "*.*", "a"}, dir.path()),
                  "'*.*': Invalid file name (a name with * or ? is the unchanged placeholder, not a file)");
    expectFailure(runCli({"unite", "-o", "a", "a"}, dir.path()), "a: Invalid file name (" + kInput + ")");
    expectFailure(runCli({"unite", "-o", "out.bin", "a", "missing", "b"}, dir.path()),
                  "missing: Invalid file name (No such file or directory)");
    // Names that reach an input only once the folder exists, and a FIFO nobody reads.
    writeFile(dir.file("b"), Bytes{2});
    expectFailure(runCli({"unite", "-o", "new/../a", "a", "b"}, dir.path()),
                  "new/../a: Invalid file name (" + kInput + ")");
    expectFailure(runCli({"unite", "-o", "new2/../a", "b", "a"}, dir.path()),
                  "new2/../a: Invalid file name (" + kInput + ")");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    expectFailure(runCli({"unite", "-o", "fifo", "a"}, dir.path()), "fifo: Invalid file name (not a regular file)");
    expectFailure(runCli({"unite", "-o", "out", "fifo"}, dir.path()), "fifo: Invalid file name (not a regular file)");
    // A folder that cannot be made is told with the reason it could not be made.
    expectFailure(runCli({"unite", "-o", "a/new/out", "b"}, dir.path()), "a/new: Invalid file name (Not a directory)");
    EXPECT_EQ(readFile(dir.file("b")), Bytes{2});
    EXPECT_FALSE(exists(dir.file("new")) || exists(dir.file("new2")) || exists(dir.file("out.bin")));
    EXPECT_EQ(readFile(dir.file("a")), Bytes{1});
}

TEST(CliUnite, ByAPartListInItsOrderFromItsFolder)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("parts"));
    writeFile(dir.file("parts/p1"), "1");
    writeFile(dir.file("parts/p2"), "22");
    writeFile(dir.file("parts/p10"), "1010");
    writeFile(dir.file("parts/info.txt"), "p1\r\np2\r\np10\r\n");
    writeFile(dir.file("parts/short.txt"), "p1\r\n");
    writeFile(dir.file("parts/gap.txt"), "p1\r\nmissing\r\np2\r\n");
    writeFile(dir.file("parts/lf.txt"), "p1\np2\n");
    writeFile(dir.file("parts/bom.txt"), "\xEF\xBB\xBFp1\r\np2\r\n");
    writeFile(dir.file("parts/nul.txt"), std::string("p1\r\np2\0x\r\n", 11));
    const struct Row {
        std::vector<std::string> args;
        int status;
        std::string err;
    } rows[] = {
        {{"-o", "out", "--list", "parts/info.txt"}, 0, ""},
        {{"-o", "parts/p2", "--list", "parts/info.txt"}, 1, "parts/p2: is the part list or one of its parts\n"},
        {{"-o", "parts/info.txt", "--list=parts/info.txt"}, 1, "info.txt: is the part list or one of its parts\n"},
        {{"-o", "no", "--list", "parts/short.txt"}, 1, "skarvel-cli: parts/short.txt: names fewer than two parts\n"},
        {{"-o", "no", "--list", "parts/gap.txt"}, 1, "skarvel-cli: parts/gap.txt: line 2 names no file: 'missing'\n"},
        {{"-o", "no", "--list", "parts/lf.txt"}, 1, "line 1 names no file: 'p1?p2?'\n"},
        {{"-o", "no", "--list", "parts/nul.txt"}, 1, "line 2 names no file: 'p2?x'\n"},
        {{"-o", "bom", "--list", "parts/bom.txt"}, 0, ""},
        {{"-o", "no", "--list", "parts/none.txt"}, 1, "skarvel-cli: parts/none.txt: no such part list\n"},
        {{"-o", "no", "--list", "parts/info.txt", "parts/p1"}, 2, "not both\nTry 'skarvel-cli --help'.\n"},
    };
    for (const Row &row : rows) {
        std::vector<std::string> args{"unite"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const CliResult r = runCli(args, dir.path());
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_TRUE(r.err.ends_with(row.err)) << r.err;
    }
    EXPECT_EQ(readText(dir.file("out")), "1221010");
    EXPECT_FALSE(exists(dir.file("no")));
    EXPECT_EQ(readText(dir.file("parts/p2")), "22");
    EXPECT_EQ(readText(dir.file("parts/info.txt")), "p1\r\np2\r\np10\r\n");
}

TEST(CliUnite, NeedsAnOutput)
{
    expectUsage(runCli({"unite"}));
    expectUsage(runCli({"unite", "--fast", "out"}));
}

TEST(CliCodify, AddsAndSubtracts)
{
    TempDir dir;
    writeFile(dir.file("d"), Bytes{10, 20, 30, 40, 50});
    writeFile(dir.file("k"), Bytes{1, 2});
    CliResult r = runCli({"codify", "+", "d", "k"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(dir.file("d")), (Bytes{11, 22, 31, 42, 51}));
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"d", "k"}));
    r = runCli({"codify", "-", dir.file("d"), dir.file("k")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("d")), (Bytes{10, 20, 30, 40, 50}));
}

TEST(CliCodify, FailuresPrintTheBoxText)
{
    TempDir dir;
    writeFile(dir.file("d"), Bytes{1, 2});
    writeFile(dir.file("empty"), Bytes{});
    expectFailure(runCli({"codify", "+", "d", "empty"}, dir.path()), "empty: Read beyond end of file");
    expectFailure(runCli({"codify", "+", "d", "d"}, dir.path()),
                  "d: Invalid file name (the data file and the key file are one file)");
    expectFailure(runCli({"codify", "-", "d", "missing"}, dir.path()),
                  "missing: Invalid file name (No such file or directory)");
    EXPECT_EQ(readFile(dir.file("d")), (Bytes{1, 2}));
}

TEST(CliCodify, NeedsASignAndTwoFiles)
{
    expectUsage(runCli({"codify", "x", "d", "k"}));
    expectUsage(runCli({"codify", "+", "d"}));
    expectUsage(runCli({"codify", "+", "d", "k", "more"}));
    expectUsage(runCli({"codify"}));
}

TEST(CliErase, ErasesSilently)
{
    TempDir dir;
    writeFile(dir.file("f"), patternBytes(5000));
    const CliResult r = runCli({"erase", dir.file("f")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(exists(dir.file("f")));
}

TEST(CliErase, AMissingFileIsAnInvalidName)
{
    TempDir dir;
    expectFailure(runCli({"erase", "missing"}, dir.path()), "missing: Invalid file name (No such file or directory)");
    expectFailure(runCli({"erase", "."}, dir.path()), ".: Invalid file name (not a regular file)");
    writeFile(dir.file("f"), "kept");
    ASSERT_EQ(::symlink("f", dir.file("link").c_str()), 0);
    expectFailure(runCli({"erase", "link"}, dir.path()),
                  "link: Invalid file name (a symbolic link: the file it leads to would be zeroed and kept)");
    EXPECT_EQ(readText(dir.file("f")), "kept");
}

TEST(CliErase, ARemovalThatFailsIsReported)
{
    TempDir dir;
    writeFile(dir.file("f"), patternBytes(5000));
    // The folder is frozen, not the file: the zeros go in, the name cannot go.
    const ScopedImmutable frozen(dir.path());
    SKIP_UNLESS(frozen.set(), "make a folder immutable: " << frozen.why());
    const CliResult r = runCli({"erase", dir.file("f")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.starts_with("skarvel-cli: " + dir.file("f") + ": zeroed but not removed: ")) << r.err;
    EXPECT_EQ(readFile(dir.file("f")), Bytes(5000, 0));
}

TEST(CliCut, ASourceThatCannotBeRemovedIsReported)
{
    TempDir dir;
    writeFile(dir.file("s.bin"), patternBytes(5000));
    const ScopedImmutable frozen(dir.file("s.bin"));
    SKIP_UNLESS(frozen.set(), "make a file immutable: " << frozen.why());
    const CliResult r = runCli({"cut", "--delete", "s.bin"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "skarvel-cli: s.bin: cut but not removed: Operation not permitted\n");
    EXPECT_EQ(readFile(dir.file("s1.bin")).size() + readFile(dir.file("s2.bin")).size(), 5000u);
}

TEST(CliErase, TakesOneFile)
{
    expectUsage(runCli({"erase"}));
    expectUsage(runCli({"erase", "a", "b"}));
}

} // namespace
