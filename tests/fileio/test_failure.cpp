// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/failure.h"
#include "fileio/io_error.h"

#include "support/outcome.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using testsupport::Outcome;
using testsupport::outcomeOf;

TEST(FullStop, AddedOnlyAfterCharactersSortingAfterTheDot)
{
    struct Row {
        const char *text;
        const char *shown;
    } rows[] = {
        {"Disk full", "Disk full."},
        {"Cannot open file /t/a.bin", "Cannot open file /t/a.bin."},
        {"ends with a dot.", "ends with a dot."},
        {"ends with a bracket)", "ends with a bracket)"}, // ')' sorts before '.'
        {"ends with a digit 5", "ends with a digit 5."},
        {"", ""},
        {"Файл", "Файл."}, // UTF-8 bytes sort after '.'
    };
    for (const Row &row : rows)
        EXPECT_EQ(fileio::withFullStop(row.text), row.shown) << row.text;
}

TEST(FullStop, OnlyTheDefaultBoxAddsIt)
{
    EXPECT_EQ(fileio::Failure(fileio::FailureKind::Report, "Invalid file name").boxText(), "Invalid file name");
    EXPECT_EQ(fileio::Failure(fileio::FailureKind::ErrorBox, "Stream write error").boxText(), "Stream write error.");
}

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
    };
    for (const Row &row : rows) {
        EXPECT_EQ(row.error.reportNumber(), row.number) << row.text;
        EXPECT_EQ(fileio::IoErrorReport(row.error), row.text);
    }
}

TEST(IoErrorReport, ReachesTheDefaultBox)
{
    const Outcome outcome = outcomeOf([] { fileio::failErrno(EACCES); });
    EXPECT_EQ(outcome.kind, fileio::FailureKind::ErrorBox);
    EXPECT_EQ(outcome.boxText(), "File access denied.");
}

} // namespace
