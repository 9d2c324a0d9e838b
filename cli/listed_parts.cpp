// SPDX-License-Identifier: GPL-3.0-or-later
#include "listed_parts.h"

#include "run_operation.h"

#include "fileio/failure.h"
#include "lists/list_pairing.h"
#include "lists/part_list_reader.h"

#include <algorithm>
#include <cstring>

namespace cli {

namespace {

[[noreturn]] void refuse(const std::string &listPath, const std::string &problem)
{
    throw CommandFailure(lists::printable(listPath) + ": " + problem);
}

std::string partPath(const std::string &folder, const std::string &name)
{
    return name.starts_with('/') ? name : folder + name;
}

} // namespace

bool ListedParts::includes(const std::string &path) const
{
    const auto id = fileio::fileId(path);
    return id && files.contains(*id);
}

ListedParts readListedParts(const std::string &listPath)
{
    if (!fileio::fileExists(listPath))
        refuse(listPath, fileio::fileId(listPath) ? "not a regular file" : "no such part list");
    fileio::File list;
    if (const int err = fileio::openForReading(listPath, list))
        refuse(listPath, fileio::errorText(err));

    ListedParts parts;
    if (const auto id = fileio::fileId(list))
        parts.files.insert(*id);
    const std::string folder = fileio::directoryPart(listPath);
    try {
        lists::PartListReader reader(list);
        for (std::int64_t line = 1; !reader.atEnd(); ++line) {
            const std::string name = reader.readLine();
            const std::string path = partPath(folder, name);
            if (!fileio::fileExists(path))
                refuse(listPath, "line " + std::to_string(line) + " names no file: '" + lists::printable(name) + "'");
            if (const auto id = fileio::fileId(path))
                parts.files.insert(*id);
            parts.paths.push_back(path);
        }
    } catch (const lists::ListReadError &failure) {
        refuse(listPath, fileio::errorText(failure.err));
    }
    if (parts.paths.size() < 2)
        refuse(listPath, "names fewer than two parts");
    return parts;
}

} // namespace cli
