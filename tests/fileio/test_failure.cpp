// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/io_error.h"

#include "support/outcome.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using testsupport::Outcome;
using testsupport::outcomeOf;

TEST(IoErrorReport, TextsByErrorNumber)
{
    struct Row {
        fileio::IoError error;
        int number;
        const char *text;
    } rows[] = {
        {fileio::IoError::fromErrno(ENOENT), 2, "File not found"},
        {fileio::IoError::fromErrno(ENOTDIR), 3, "Invalid filename"},
        {fileio::IoError::fromErrno(ENAMETOOLONG), 3, "Invalid filename"},
        {fileio::IoError::fromErrno(EILSEQ), 3, "Invalid filename"},
        {fileio::IoError::fromErrno(EMFILE), 4, "Too many open files"},
        {fileio::IoError::fromErrno(ENFILE), 4, "Too many open files"},
        {fileio::IoError::fromErrno(EACCES), 5, "File access denied"},
        {fileio::IoError::fromErrno(EPERM), 5, "File access denied"},
        {fileio::IoError::fromErrno(EROFS), 5, "File access denied"},
        {fileio::IoError::fromErrno(ENOSPC), 101, "Disk full"},
        {fileio::IoError::fromErrno(EDQUOT), 101, "Disk full"},
        {fileio::IoError::shortRead(), 100, "Read beyond end of file"},
        {fileio::IoError::shortWrite(), 101, "Disk full"},
        {fileio::IoError::badNumber(), 106, "Invalid numeric input"},
        {fileio::IoError::fromErrno(EIO), EIO, "I/O error 5"},
        // errno 100 is ENETDOWN on Linux: it must not read as "Read beyond end of file".
        {fileio::IoError::fromErrno(100), 100, "I/O error 100"},
        {fileio::IoError::fromErrno(EBUSY), EBUSY, "I/O error 16"},
        // The file layer's own numbers read as the failures they stand for.
        {fileio::IoError::fromErrno(fileio::kNotRegularFile), 5, "File access denied"},
        {fileio::IoError::fromErrno(fileio::kKeptFile), 5, "File access denied"},
        {fileio::IoError::fromErrno(fileio::kSymbolicLink), 3, "Invalid filename"},
        {fileio::IoError::fromErrno(fileio::kChanged), 100, "Read beyond end of file"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(row.error.reportNumber(), row.number) << row.text;
        EXPECT_EQ(fileio::IoErrorReport(row.error), row.text);
    }
}

TEST(IoErrorReport, ReachesTheDefaultBoxWithItsFileAndReason)
{
    const Outcome outcome = outcomeOf([] { fileio::failErrno(EACCES, "/t/a"); });
    EXPECT_FALSE(outcome.reported);
    EXPECT_EQ(outcome.text, "File access denied");
    EXPECT_EQ(outcome.path, "/t/a");
    EXPECT_EQ(outcome.reason, "Permission denied");
}

} // namespace
