#include "cut.h"

#include "partlist.h"
#include "partname.h"
#include "progress.h"
#include "skiplist.h"

#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/file.h"

#include <optional>
#include <stdexcept>

namespace ops {

namespace {

// Creates one part and copies its bytes from the source into it.
void writePart(fileio::File &source, std::int64_t offset, std::int64_t length, const std::string &path,
               const std::optional<fileio::FileId> &sourceId, ProgressSink &progress)
{
    // A part name that leads back to the source (a link beside it) would empty the source.
    if (sourceId && fileio::fileId(path) == sourceId)
        fileio::cannotCreateFile(path);

    fileio::File part;
    if (fileio::createFile(path, part) != 0)
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
    if (part.close() != 0)
        fileio::streamWriteError();
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

    const std::optional<fileio::FileId> sourceId = fileio::fileId(source);
    std::unique_ptr<PartList> partList;
    if (request.writePartList) {
        if (!partListFactory)
            throw std::logic_error("Cut: a part list was asked for but none was given");
        partList = partListFactory->open(sourceId);
    }

    const std::string marker = request.markerOn ? request.marker : std::string();

    progress.setMaximum(plan.partCount);
    for (std::int64_t n = 1; n <= plan.partCount; ++n) {
        // Skipped parts are passed over: their bytes are never read.
        if (!skip.contains(n)) {
            const std::string path = PartFileName(request.source, marker, n);
            writePart(source, (n - 1) * plan.partSize, plan.partLength(n, size), path, sourceId, progress);
            if (partList)
                partList->add(path);
        }
        progress.step();
    }
    if (partList) {
        partList->finish();
        partList.reset();
    }
    progress.reset();
    source.close();

    if (request.deleteSource && fileio::fileExists(request.source))
        fileio::removeFile(request.source);
}

} // namespace ops
