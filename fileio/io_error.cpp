// SPDX-License-Identifier: GPL-3.0-or-later
#include "io_error.h"

#include "failure.h"
#include "file.h"
#include "system_errors.h"

namespace fileio {

namespace {

struct Report {
    int number;
    const char *text;
};

constexpr Report kFileNotFound{2, "File not found"};
constexpr Report kInvalidFilename{3, "Invalid filename"};
constexpr Report kTooManyOpenFiles{4, "Too many open files"};
constexpr Report kAccessDenied{5, "File access denied"};
constexpr Report kReadBeyondEnd{100, "Read beyond end of file"};
constexpr Report kDiskFull{101, "Disk full"};
constexpr Report kInvalidNumericInput{106, "Invalid numeric input"};

constexpr Report kNumberedReports[] = {kFileNotFound, kInvalidFilename, kTooManyOpenFiles, kAccessDenied, kDiskFull};

// The named report for this failure, or nullptr for an errno shown by its number.
const Report *namedReport(IoError::Cause cause, int err)
{
    switch (cause) {
    case IoError::Cause::ShortRead:
        return &kReadBeyondEnd;
    case IoError::Cause::ShortWrite:
        return &kDiskFull;
    case IoError::Cause::BadNumber:
        return &kInvalidNumericInput;
    case IoError::Cause::Errno:
        break;
    }
    // The file layer's own numbers, as the system the design was made for would have failed.
    switch (err) {
    case kKeptFile:
    case kNotRegularFile:
        return &kAccessDenied;
    case kSymbolicLink:
        return &kInvalidFilename;
    case kChanged:
        return &kReadBeyondEnd;
    default:
        break;
    }
    for (const SystemError &entry : namedSystemErrors()) {
        if (entry.err != err)
            continue;
        for (const Report &report : kNumberedReports) {
            if (report.number == entry.shown)
                return &report;
        }
    }
    return nullptr;
}

} // namespace

int IoError::reportNumber() const
{
    const Report *report = namedReport(m_cause, m_errno);
    return report ? report->number : m_errno;
}

std::string IoError::text() const
{
    if (const Report *report = namedReport(m_cause, m_errno))
        return report->text;
    return "I/O error " + std::to_string(m_errno);
}

std::string IoErrorReport(const IoError &error)
{
    return error.text();
}

void failIo(const IoError &error, const std::string &path)
{
    failWith(IoErrorReport(error), path, error.cause() == IoError::Cause::Errno ? error.sysErrno() : 0);
}

void failErrno(int err, const std::string &path)
{
    failIo(IoError::fromErrno(err), path);
}

} // namespace fileio
