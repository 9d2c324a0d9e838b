// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify_checksum_list.h"

#include "digest/block_hashers.h"
#include "lists/checksum_list.h"
#include "digest/hashed_copy.h"
#include "fileio/file.h"

#include <cerrno>
#include <optional>

namespace ops {

namespace {

ListedFile check(const std::string &folder, const lists::ChecksumEntry &entry, bool last)
{
    using Verdict = ListedFile::Verdict;
    // A name the list gives from the root is taken as it stands, the others from the list's folder.
    const std::string path = entry.name.starts_with('/') ? entry.name : folder + entry.name;
    if (!fileio::fileExists(path))
        return {entry.name, last ? Verdict::NotMadeYet : Verdict::Missing};
    fileio::File file;
    std::int64_t size = 0;
    int err = fileio::openForReading(path, file);
    if (err == 0)
        err = file.size(size);
    if (err != 0)
        return {entry.name, Verdict::Unreadable, err};
    digest::BlockHashers hasher(1);
    const fileio::CopyResult read = digest::copyHashed(file, 0, nullptr, size, hasher);
    if (!read.ok())
        return {entry.name, Verdict::Unreadable, read.err};
    return {entry.name, hasher.finish(0) == entry.digest ? Verdict::Whole : Verdict::Damaged};
}

} // namespace

bool isFault(ListedFile::Verdict verdict)
{
    return verdict != ListedFile::Verdict::Whole && verdict != ListedFile::Verdict::NotMadeYet;
}

int verifyChecksumList(const std::string &listPath, const std::function<void(const ListedFile &)> &tell)
{
    // Only a regular file: a FIFO would wait for a writer, a device might never end.
    if (!fileio::fileExists(listPath))
        return fileio::fileId(listPath) ? fileio::kNotRegularFile : ENOENT;
    fileio::File list;
    if (const int err = fileio::openForReading(listPath, list))
        return err;
    lists::ChecksumReader reader(list);
    const std::string folder = fileio::directoryPart(listPath);

    // One line is read ahead, to know which line is the last.
    using Line = lists::ChecksumReader::Line;
    Line kind{};
    lists::ChecksumEntry entry;
    if (const int err = reader.next(kind, entry))
        return err;
    for (long number = 1; kind != Line::End; ++number) {
        Line nextKind{};
        lists::ChecksumEntry nextEntry;
        if (const int err = reader.next(nextKind, nextEntry))
            return err;
        if (kind == Line::Malformed)
            tell({std::to_string(number), ListedFile::Verdict::NotALine});
        else
            tell(check(folder, entry, nextKind == Line::End));
        kind = nextKind;
        entry = std::move(nextEntry);
    }
    return 0;
}

} // namespace ops
