// SPDX-License-Identifier: GPL-3.0-or-later
// The joiner's steps run in this process, so that the file layer's faults reach them.
#include "support/temp_dir.h"

#include "fileio/fault.h"
#include "joiner/console.h"
#include "joiner/joiner.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace testsupport;
using fileio::SysCall;

struct JoinerFault {
    const char *why;
    SysCall call;
    long nth;
    int err;
    std::string lastLine; // the report's second line
};

void PrintTo(const JoinerFault &row, std::ostream *os)
{
    *os << row.why;
}

class JoinerFaults : public ::testing::TestWithParam<JoinerFault> {};

// Opens: 1 the list for the check, 2 the list again, 3 and 4 the parts. Stats: 1 to 3 the
// existence checks, 4 that of info.sha256, 5 the output's name, 6 and 7 the parts' sizes. Closes: 1
// and 2 the parts, 3 the output. Unnamed 1: the output's temporary. A failed join names no output.
TEST_P(JoinerFaults, StopAtOnceWithTheReportAndExitStatusOne)
{
    const JoinerFault &row = GetParam();
    TempDir dir;
    writeFile(dir.file("p1"), "first,");
    writeFile(dir.file("p2"), "second");
    writeFile(dir.file("info.txt"), "p1\r\np2\r\n");
    writeFile(dir.file("answers"), "out\n\n");
    ScopedCurrentDir here(dir.path());
    const int input = ::open("answers", O_RDONLY | O_CLOEXEC);
    const int output = ::open("console", O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(input, 0);
    ASSERT_GE(output, 0);

    int status = -1;
    {
        joiner::Console console(input, output);
        fileio::faults::ScopedFault fault(row.call, row.nth, row.err);
        status = joiner::runJoiner(console, "Recons.exe");
    }
    ::close(input);
    ::close(output);

    EXPECT_EQ(status, 1);
    const std::string printed = readText(dir.file("console"));
    EXPECT_TRUE(printed.ends_with(".\n" + row.lastLine + "\r\n")) << printed;
    EXPECT_NE(printed.find("Exception EInOutError in module Recons.exe at "), std::string::npos) << printed;
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"answers", "console", "info.txt", "p1", "p2"}));
    EXPECT_EQ(readText(dir.file("p1")), "first,");
    EXPECT_EQ(readText(dir.file("p2")), "second");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, JoinerFaults,
    ::testing::Values(JoinerFault{"the list cannot be opened", SysCall::Open, 1, EACCES, "File access denied."},
                      JoinerFault{"the output cannot be created", SysCall::Unnamed, 1, ENOSPC, "Disk full."},
                      JoinerFault{"the list cannot be opened again", SysCall::Open, 2, EMFILE, "Too many open files."},
                      JoinerFault{"a part cannot be opened", SysCall::Open, 4, EACCES, "File access denied."},
                      JoinerFault{"a part's size cannot be read", SysCall::Stat, 7, EIO, "I/O error 5."},
                      JoinerFault{"the output's close fails", SysCall::Close, 3, EDQUOT, "Disk full."},
                      JoinerFault{"the output cannot take its name", SysCall::Rename, 1, EACCES,
                                  "File access denied."}),
    [](const auto &info) { return "Row" + std::to_string(info.index); });

} // namespace
