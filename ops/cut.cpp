#include "cut.h"

#include "copy.h"
#include "failure.h"
#include "file.h"
#include "partlist.h"
#include "partname.h"
#include "progress.h"
#include "skiplist.h"

#include <optional>
#include <stdexcept>

namespace ops {

namespace {

// Creates one part and copies its bytes from the source into it.
void writePart(File &source, std::int64_t offset, std::int64_t length, const std::string &path,
               const std::optional<FileId> &sourceId, ProgressSink &progress)
{
    // A part name that leads back to the source (a link beside it) would empty the source.
    if (sourceId && fileId(path) == sourceId)
        cannotCreateFile(path);

    File part;
    if (createFile(path, part) != 0)
        cannotCreateFile(path);

    const CopyResult copied = copyBytes(source, offset, part, length, &progress);
    switch (copied.status) {
    case CopyResult::Status::Done:
        break;
    case CopyResult::Status::ReadFailed:
    case CopyResult::Status::EndOfInput:
        streamReadError();
    case CopyResult::Status::WriteFailed:
        streamWriteError();
    }
    if (part.close() != 0)
        streamWriteError();
}

} // namespace

void Cut(const CutRequest &request, ProgressSink &progress, PartListFactory *partListFactory)
{
    if (!fileExists(request.source))
        reportError(kInvalidFileName);

    File source;
    if (openForReading(request.source, source) != 0)
        cannotOpenFile(request.source);

    const SkipList skip = ParseSkipList(request.skipText);

    std::int64_t size = 0;
    if (source.size(size) != 0)
        streamReadError();
    const SplitPlan plan = MakeSplitPlan(size, request.mode);

    const std::optional<FileId> sourceId = fileId(source);
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

    if (request.deleteSource && fileExists(request.source))
        removeFile(request.source);
}

} // namespace ops
