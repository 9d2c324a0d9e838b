#include "cut.h"

#include "partlist.h"
#include "partname.h"
#include "progress.h"
#include "skiplist.h"

#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/file.h"

#include <cerrno>
#include <optional>
#include <set>
#include <stdexcept>

namespace ops {

namespace {

// Creates one part and copies its bytes from the source into it; the part joins `keep`, so that
// no later part, list or joiner is written over it. Returns the part still open.
fileio::File writePart(fileio::File &source, std::int64_t offset, std::int64_t length, const std::string &path,
                       fileio::FileIds &keep, ProgressSink &progress)
{
    // A part name that leads back to the source or to a part made before (a link) would empty it.
    const std::optional<fileio::FileId> existing = fileio::fileId(path);
    if (existing && keep.contains(*existing))
        fileio::cannotCreateFile(path);

    fileio::File part;
    if (fileio::createFile(path, part, keep) != 0)
        fileio::cannotCreateFile(path);

    const fileio::CopyResult copied = fileio::copyBytes(source, offset, part, length, &progress);
    switch (copied.status) {
    case fileio::CopyResult::Status::Done:
        break;
    case fileio::CopyResult::Status::ReadFailed:
    case fileio::CopyResult::Status::EndOfInput:
        fileio::streamReadError();
    case fileio::CopyResult::Status::WriteFailed:
        fileio::streamWriteError();
    }
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

void Cut(const CutRequest &request, ProgressSink &progress, PartListFactory *partListFactory)
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

    const std::string marker = request.markerOn ? request.marker : std::string();

    // With the source to be deleted, a part is flushed to the device only after the next one has
    // been copied, its writeback started at once: the device writes while the source is read.
    fileio::File unflushed;
    progress.setMaximum(plan.partCount);
    for (std::int64_t n = 1; n <= plan.partCount; ++n) {
        // Skipped parts are passed over: their bytes are never read.
        if (!skip.contains(n)) {
            const std::string path = PartFileName(request.source, marker, n);
            const std::int64_t length = plan.partLength(n, size);
            fileio::File part = writePart(source, (n - 1) * plan.partSize, length, path, keep, progress);
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
        }
        progress.step();
    }
    flushPart(unflushed);
    if (partList) {
        partList->finish(request.deleteSource);
        partList.reset();
    }
    progress.reset();
    source.close();

    if (request.deleteSource && fileio::fileExists(request.source)) {
        syncFolders(folders);
        fileio::removeFile(request.source);
    }
}

} // namespace ops
