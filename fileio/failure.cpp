// SPDX-License-Identifier: GPL-3.0-or-later
#include "failure.h"

#include <cstring>

namespace fileio {

std::string Failure::reason() const
{
    if (!m_why.empty())
        return m_why;
    return m_errno != 0 ? std::strerror(m_errno) : std::string();
}

void failWith(const std::string &text, const std::string &path, int err)
{
    throw Failure(text, path, err);
}

void cannotOpenFile(const std::string &path, int err)
{
    failWith("Cannot open file " + path, path, err);
}

void cannotCreateFile(const std::string &path, int err, const std::string &why)
{
    throw Failure("Cannot create file " + path, path, err, why);
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
