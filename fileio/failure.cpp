// SPDX-License-Identifier: GPL-3.0-or-later
#include "failure.h"

#include "file.h"

#include <cstring>

namespace fileio {

std::string errorText(int err)
{
    switch (err) {
    case 0:
        return {};
    case kKeptFile:
        return "it is one of the files this run reads or has made";
    case kNotRegularFile:
        return "not a regular file";
    case kSymbolicLink:
        return "a symbolic link";
    case kChanged:
        return "changed while it was read";
    default:
        return std::strerror(err);
    }
}

std::string Failure::reason() const
{
    if (!m_why.empty())
        return m_why;
    return errorText(m_errno);
}

void failWith(const std::string &text, const std::string &path, int err)
{
    throw Failure(text, path, err);
}

void cannotOpenFile(const std::string &path, int err)
{
    throw Failure("Cannot open file", path, err, {}, Failure::Naming::AtTheEnd);
}

void cannotCreateFile(const std::string &path, int err, const std::string &why)
{
    throw Failure("Cannot create file", path, err, why, Failure::Naming::AtTheEnd);
}

void streamReadError(const std::string &path, int err)
{
    failWith("Stream read error", path, err);
}

void streamWriteError(const std::string &path, int err)
{
    failWith("Stream write error", path, err);
}

} // namespace fileio
