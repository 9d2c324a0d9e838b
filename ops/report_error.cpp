// SPDX-License-Identifier: GPL-3.0-or-later
#include "report_error.h"

#include "fileio/file.h"

#include <cerrno>

namespace ops {

void reportError(const std::string &text, const std::string &path, int err, const std::string &why)
{
    throw ReportedFailure(text, path, err, why);
}

void reportNoFile(const std::string &path)
{
    const bool there = fileio::fileId(path).has_value();
    reportError(kInvalidFileName, path, there ? 0 : ENOENT, there ? "not a regular file" : "");
}

} // namespace ops
