#include "cut.h"

#include "digestlist.h"
#include "partlist.h"
#include "partname.h"
#include "progress.h"
#include "skiplist.h"

#include "digest/block_hashers.h"
#include "digest/hashed_copy.h"
#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/file.h"

#include <memory>
#include <optional>
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

// Creates one part and copies its bytes from the source into it, through the hashers when given.
void writePart(fileio::File &source, std::int64_t offset, std::int64_t length, const std::string &path,
               const std::optional<fileio::FileId> &sourceId, ProgressSink &progress,
               digest::BlockHashers *hashers)
{
    // A part name that leads back to the source (a link beside it) would empty the source.
    if (sourceId && fileio::fileId(path) == sourceId)
        fileio::cannotCreateFile(path);

    fileio::File part;
    if (fileio::createFile(path, part) != 0)
        fileio::cannotCreateFile(path);

    failCopy(hashers ? digest::copyHashed(source, offset, &part, length, *hashers, &progress)
                     : fileio::copyBytes(source, offset, part, length, &progress));
    if (part.close() != 0)
        fileio::streamWriteError();
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

    const std::optional<fileio::FileId> sourceId = fileio::fileId(source);
    std::unique_ptr<PartList> partList;
    if (request.writePartList) {
        if (!partListFactory)
            throw std::logic_error("Cut: a part list was asked for but none was given");
        partList = partListFactory->open(sourceId);
    }
    std::unique_ptr<DigestList> digests;
    std::optional<digest::BlockHashers> hashers;
    if (request.writeDigests) {
        if (!digestListFactory)
            throw std::logic_error("Cut: digests were asked for but no list was given");
        digests = digestListFactory->open(sourceId);
        hashers.emplace(2);
    }

    const std::string marker = request.markerOn ? request.marker : std::string();

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
            writePart(source, offset, length, path, sourceId, progress, hashers ? &*hashers : nullptr);
            if (partList)
                partList->add(path);
            if (digests)
                digests->add(path, hashers->finish(kPartDigest));
        }
        progress.step();
    }
    if (partList) {
        partList->finish();
        partList.reset();
    }
    if (digests) {
        digests->finish(request.source, hashers->finish(kSourceDigest));
        digests.reset();
    }
    progress.reset();
    source.close();

    if (request.deleteSource && fileio::fileExists(request.source))
        fileio::removeFile(request.source);
}

} // namespace ops
