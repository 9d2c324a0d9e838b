// SPDX-License-Identifier: GPL-3.0-or-later
#include "verify_checksum_list.h"

#include "report_error.h"

#include "digest/block_hashers.h"
#include "digest/hashed_copy.h"
#include "fileio/file.h"
#include "lists/checksum_list.h"
#include "lists/list_pairing.h"
#include "lists/part_list_reader.h"
#include "lists/set_names.h"

#include <cerrno>
#include <optional>

namespace ops {

namespace {

ListedFile check(const std::string &folder, const lists::ChecksumEntry &entry, bool mayBeMissing,
                 fileio::CopyProgress *progress)
{
    using Verdict = ListedFile::Verdict;
    // A name the list gives from the root is taken as it stands, the others from the list's folder.
    const std::string path = entry.name.starts_with('/') ? entry.name : folder + entry.name;
    fileio::File file;
    fileio::FileState before;
    int err = fileio::openForReading(path, file);
    if (err == ENOENT)
        return {entry.name, mayBeMissing ? Verdict::NotMadeYet : Verdict::Missing};
    if (err == 0)
        err = file.state(before);
    if (err != 0)
        return {entry.name, Verdict::Unreadable, err};
    digest::BlockHashers hasher(1);
    const fileio::CopyResult read = digest::copyHashed(file, 0, nullptr, before.size, hasher, progress);
    if (read.status == fileio::CopyResult::Status::Stopped)
        throw Stopped();
    if (!read.ok())
        return {entry.name, Verdict::Unreadable, read.err != 0 ? read.err : fileio::kChanged};
    fileio::FileState after;
    if (file.state(after) != 0 || !after.sameContentAs(before))
        return {entry.name, Verdict::Unreadable, fileio::kChanged};
    return {entry.name, hasher.finish(0) == entry.digest ? Verdict::Whole : Verdict::Damaged};
}

// A list written before Cut marked the whole file's line: it is a set's when the part list beside
// it pairs with it, and then its last line is the whole file.
bool pairsWithPartList(const std::string &listPath)
{
    fileio::File partList;
    fileio::File checksums;
    if (fileio::openForReading(fileio::directoryPart(listPath) + lists::kPartListName, partList) != 0
        || fileio::openForReading(listPath, checksums) != 0)
        return false;
    try {
        return lists::pairLists(partList, checksums).problem.empty();
    } catch (const lists::ListReadError &) {
        return false;
    }
}

} // namespace

bool isFault(ListedFile::Verdict verdict)
{
    return verdict != ListedFile::Verdict::Whole && verdict != ListedFile::Verdict::NotMadeYet;
}

int verifyChecksumList(const std::string &listPath, const std::function<void(const ListedFile &)> &tell,
                       fileio::CopyProgress *progress)
{
    fileio::File list;
    if (const int err = fileio::openForReading(listPath, list))
        return err;
    lists::ChecksumReader reader(list);
    const std::string folder = fileio::directoryPart(listPath);
    std::optional<bool> oldSet; // looked at only when an unmarked last line names no file

    // One line is read ahead, to know which line is the last.
    using Line = lists::ChecksumReader::Line;
    Line kind{};
    lists::ChecksumEntry entry;
    if (const int err = reader.next(kind, entry))
        return err;
    for (long number = 1; kind != Line::End; ++number) {
        if (progress && progress->stopRequested())
            throw Stopped();
        Line nextKind{};
        lists::ChecksumEntry nextEntry;
        if (const int err = reader.next(nextKind, nextEntry))
            return err;
        if (kind == Line::Malformed) {
            tell({std::to_string(number), ListedFile::Verdict::NotALine});
        } else {
            ListedFile file = check(folder, entry, entry.wholeFile, progress);
            if (file.verdict == ListedFile::Verdict::Missing && nextKind == Line::End) {
                if (!oldSet)
                    oldSet = pairsWithPartList(listPath);
                if (*oldSet)
                    file.verdict = ListedFile::Verdict::NotMadeYet;
            }
            tell(file);
        }
        kind = nextKind;
        entry = std::move(nextEntry);
    }
    return 0;
}

} // namespace ops
