#include "ops/failure.h"
#include "ops/ioerror.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

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
        EXPECT_EQ(ops::withFullStop(row.text), row.shown) << row.text;
}

TEST(FullStop, OnlyTheDefaultBoxAddsIt)
{
    EXPECT_EQ(ops::Failure(ops::FailureKind::Report, "Invalid file name").boxText(), "Invalid file name");
    EXPECT_EQ(ops::Failure(ops::FailureKind::ErrorBox, "Stream write error").boxText(), "Stream write error.");
}

TEST(IoErrorReport, TextsByErrorNumber)
{
    struct Row {
        ops::IoError error;
        int number;
        const char *text;
    } rows[] = {
        {ops::IoError::fromErrno(ENOENT), 2, "File not found"},
        {ops::IoError::fromErrno(ENOTDIR), 3, "Invalid filename"},
        {ops::IoError::fromErrno(ENAMETOOLONG), 3, "Invalid filename"},
        {ops::IoError::fromErrno(EILSEQ), 3, "Invalid filename"},
        {ops::IoError::fromErrno(EMFILE), 4, "Too many open files"},
        {ops::IoError::fromErrno(ENFILE), 4, "Too many open files"},
        {ops::IoError::fromErrno(EACCES), 5, "File access denied"},
        {ops::IoError::fromErrno(EPERM), 5, "File access denied"},
        {ops::IoError::fromErrno(EROFS), 5, "File access denied"},
        {ops::IoError::fromErrno(ENOSPC), 101, "Disk full"},
        {ops::IoError::fromErrno(EDQUOT), 101, "Disk full"},
        {ops::IoError::shortRead(), 100, "Read beyond end of file"},
        {ops::IoError::shortWrite(), 101, "Disk full"},
        {ops::IoError::badNumber(), 106, "Invalid numeric input"},
        {ops::IoError::fromErrno(EIO), EIO, "I/O error 5"},
        // errno 100 is ENETDOWN on Linux: it must not read as "Read beyond end of file".
        {ops::IoError::fromErrno(100), 100, "I/O error 100"},
        {ops::IoError::fromErrno(EBUSY), EBUSY, "I/O error 16"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(row.error.reportNumber(), row.number) << row.text;
        EXPECT_EQ(ops::IoErrorReport(row.error), row.text);
    }
}

TEST(IoErrorReport, ReachesTheDefaultBox)
{
    try {
        ops::failErrno(EACCES);
        FAIL();
    } catch (const ops::Failure &failure) {
        EXPECT_EQ(failure.kind(), ops::FailureKind::ErrorBox);
        EXPECT_EQ(failure.boxText(), "File access denied.");
    }
}

} // namespace
