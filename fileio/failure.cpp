// SPDX-License-Identifier: GPL-3.0-or-later
#include "failure.h"

namespace fileio {

std::string withFullStop(const std::string &text)
{
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        return text + ".";
    return text;
}

std::string Failure::boxText() const
{
    return m_kind == FailureKind::ErrorBox ? withFullStop(text()) : text();
}

void reportError(const std::string &text)
{
    throw Failure(FailureKind::Report, text);
}

void failWith(const std::string &text)
{
    throw Failure(FailureKind::ErrorBox, text);
}

void cannotOpenFile(const std::string &path)
{
    failWith("Cannot open file " + path);
}

void cannotCreateFile(const std::string &path)
{
    failWith("Cannot create file " + path);
}

void streamReadError()
{
    failWith("Stream read error");
}

void streamWriteError()
{
    failWith("Stream write error");
}

} // namespace fileio
