// SPDX-License-Identifier: GPL-3.0-or-later
#include "set_output.h"

#include "fileio/failure.h"
#include "fileio/io_error.h"

#include <cerrno>

namespace lists {

namespace {

constexpr const char *kKeptName = "it is the file being cut, or one this cut has made";

[[noreturn]] void failSetOutput(const std::string &path, int err)
{
    if (err == fileio::kKeptFile)
        throw fileio::Failure(fileio::IoErrorReport(fileio::IoError::fromErrno(EACCES)), path, 0, kKeptName);
    fileio::failErrno(err == fileio::kNotRegularFile ? EISDIR : err, path);
}

} // namespace

fileio::AtomicOutput openSetOutput(const std::string &path, const fileio::FileIds &keep,
                                   fileio::AtomicOutput::Existing existing, mode_t mode)
{
    fileio::AtomicOutput output;
    if (const int err = output.open(path, keep, mode, existing))
        failSetOutput(path, err);
    return output;
}

void refuseExisting(const std::string &path)
{
    if (fileio::nameTaken(path))
        failSetOutput(path, EEXIST);
}

void finishSetOutput(const std::string &path, int err)
{
    if (err)
        failSetOutput(path, err);
}

} // namespace lists
