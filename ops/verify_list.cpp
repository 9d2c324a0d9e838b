#include "verify_list.h"

#include "block_hashers.h"
#include "checksum_list.h"
#include "file.h"
#include "hashed_copy.h"

#include <optional>

namespace ops {

namespace {

ListedFile check(const std::string &folder, const ChecksumEntry &entry, bool last)
{
    using Verdict = ListedFile::Verdict;
    const std::string path = folder + entry.name;
    if (!fileExists(path))
        return {entry.name, last ? Verdict::NotMadeYet : Verdict::Missing};
    File file;
    std::int64_t size = 0;
    int err = openForReading(path, file);
    if (err == 0)
        err = file.size(size);
    if (err != 0)
        return {entry.name, Verdict::Unreadable, err};
    BlockHashers hasher(1);
    const CopyResult read = copyHashed(file, 0, nullptr, size, hasher);
    if (!read.ok())
        return {entry.name, Verdict::Unreadable, read.err};
    return {entry.name, hasher.finish(0) == entry.digest ? Verdict::Whole : Verdict::Damaged};
}

} // namespace

bool isFault(ListedFile::Verdict verdict)
{
    return verdict != ListedFile::Verdict::Whole && verdict != ListedFile::Verdict::NotMadeYet;
}

int VerifyList(const std::string &listPath, const std::function<void(const ListedFile &)> &tell)
{
    File list;
    if (const int err = openForReading(listPath, list))
        return err;
    ChecksumReader reader(list);
    const std::string folder = directoryPart(listPath);

    // One line is read ahead, to know which line is the last.
    using Line = ChecksumReader::Line;
    Line kind{};
    ChecksumEntry entry;
    if (const int err = reader.next(kind, entry))
        return err;
    for (long number = 1; kind != Line::End; ++number) {
        Line nextKind{};
        ChecksumEntry nextEntry;
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
