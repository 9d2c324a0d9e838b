// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut.h"

#include "digest_list.h"
#include "part_list.h"
#include "part_name.h"
#include "progress.h"
#include "skip_list.h"

#include "digest/block_hashers.h"
#include "digest/hashed_copy.h"
#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/file.h"

#include <cerrno>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>

namespace ops {

namespace {

// The digests a Cut keeps when asked for them: the part's, restarted for every part, and the
// whole source's.
constexpr std::size_t kPartDigest = 0;
constexpr std::size_t kSourceDigest = 1;

void failCopy(const fileio::CopyResult &copied)
{
    switch (copied.status) {
    case fileio::CopyResult::Status::Done:
        return;
    case fileio::CopyResult::Status::ReadFailed:
    case fileio::CopyResult::Status::EndOfInput:
        fileio::streamReadError();
    case fileio::CopyResult::Status::WriteFailed:
        fileio::streamWriteError();
    }
}

// Creates one part and copies its bytes from the source into it, through the hashers when given;
// the part joins `keep`, so that no later part, list or joiner is written over it. Returns the
// part still open.
fileio::File writePart(fileio::File &source, std::int64_t offset, std::int64_t length, const std::string &path,
                       fileio::FileIds &keep, ProgressSink &progress, digest::BlockHashers *hashers)
{
    // A part name that leads back to the source or to a part made before (a link) is refused
    // by createFile before anything is emptied.
    fileio::File part;
    if (fileio::createFile(path, part, keep) != 0)
        fileio::cannotCreateFile(path);

    failCopy(hashers ? digest::copyHashed(source, offset, &part, length, *hashers, &progress)
                     : fileio::copyBytes(source, offset, part, length, &progress));
    const std::optional<fileio::FileId> id = fileio::fileId(part);
    if (!id)
        fileio::streamWriteError();
    keep.insert(*id);
    return part;
}

// Flushes a part's data to the device and closes it; nothing to do once it is closed.
void flushPart(fileio::File &part)
{
    if (part.isOpen() && (part.syncData() != 0 || part.close() != 0))
        fileio::streamWriteError();
}

// The parts, the list and the joiner are on the device before the source goes, so that a power
// cut or a pulled stick never leaves the source removed and a part short. Their data is flushed
// as each is written; this flushes the folders that hold their names.
void syncFolders(const std::set<std::string> &folders)
{
    for (const std::string &folder : folders) {
        // EINVAL: the file system cannot flush a folder, and so has nothing of it to lose.
        if (const int err = fileio::syncDirectory(folder); err != 0 && err != EINVAL)
            fileio::streamWriteError();
    }
}

} // namespace

void Cut(const CutRequest &request, ProgressSink &progress, PartListFactory *partListFactory,
         DigestListFactory *digestListFactory)
{
    if (!fileio::fileExists(request.source))
        fileio::reportError(fileio::kInvalidFileName);

    fileio::File source;
    if (fileio::openForReading(request.source, source) != 0)
        fileio::cannotOpenFile(request.source);

    const SkipList skip = ParseSkipList(request.skipText);

    std::int64_t size = 0;
    if (source.size(size) != 0)
        fileio::streamReadError();
    const SplitPlan plan = MakeSplitPlan(size, request.mode);

    // The source, then the list and every part made: no output may be written over one of them.
    fileio::FileIds keep;
    if (const std::optional<fileio::FileId> sourceId = fileio::fileId(source))
        keep.insert(*sourceId);
    std::set<std::string> folders; // of every file made, when the source is to be deleted
    std::unique_ptr<PartList> partList;
    if (request.writePartList) {
        if (!partListFactory)
            throw std::logic_error("Cut: a part list was asked for but none was given");
        partList = partListFactory->open(keep);
        if (request.deleteSource)
            folders.insert(std::string()); // the current one, which holds the list
    }
    std::unique_ptr<DigestList> digests;
    std::optional<digest::BlockHashers> hashers;
    if (request.writeDigests) {
        if (!digestListFactory)
            throw std::logic_error("Cut: digests were asked for but no list was given");
        digests = digestListFactory->open(keep);
        hashers.emplace(2);
        if (request.deleteSource)
            folders.insert(std::string()); // the current one, which holds the digests
    }

    const std::string marker = request.markerOn ? request.marker : std::string();

    // With the source to be deleted, a part is flushed to the device only after the next one has
    // been copied, its writeback started at once: the device writes while the source is read.
    fileio::File unflushed;
    progress.setMaximum(plan.partCount);
    for (std::int64_t n = 1; n <= plan.partCount; ++n) {
        const std::int64_t offset = (n - 1) * plan.partSize;
        const std::int64_t length = plan.partLength(n, size);
        if (skip.contains(n) != request.onlyListed) {
            // A part left out is never read, unless the whole source's digest needs its bytes.
            if (hashers) {
                failCopy(digest::copyHashed(source, offset, nullptr, length, *hashers));
                hashers->finish(kPartDigest);
            }
        } else {
            const std::string path = PartFileName(request.source, marker, n);
            fileio::File part =
                writePart(source, offset, length, path, keep, progress, hashers ? &*hashers : nullptr);
            if (request.deleteSource) {
                part.startWriteback(0, length);
                flushPart(unflushed);
                unflushed = std::move(part);
                folders.insert(fileio::directoryPart(path));
            } else if (part.close() != 0) {
                fileio::streamWriteError();
            }
            if (partList)
                partList->add(path);
            if (digests)
                digests->add(path, hashers->finish(kPartDigest));
        }
        progress.step();
    }
    flushPart(unflushed);
    if (partList) {
        partList->finish(request.deleteSource);
        partList.reset();
    }
    if (digests) {
        digests->finish(request.source, hashers->finish(kSourceDigest), request.deleteSource);
        digests.reset();
    }
    progress.reset();
    source.close();

    if (request.deleteSource && fileio::fileExists(request.source)) {
        syncFolders(folders);
        fileio::removeFile(request.source);
    }
}

} // namespace ops
