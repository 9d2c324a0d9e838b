// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut.h"

#include "checksum_list_sink.h"
#include "part_list_sink.h"
#include "part_name.h"
#include "progress.h"
#include "report_error.h"
#include "skip_list.h"

#include "digest/block_hashers.h"
#include "digest/hashed_copy.h"
#include "fileio/atomic_output.h"
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

using Existing = fileio::AtomicOutput::Existing;

// The digests a Cut keeps when asked for them: the part's, restarted for every part, and the
// whole source's.
constexpr std::size_t kPartDigest = 0;
constexpr std::size_t kSourceDigest = 1;

// Why a part's name cannot be used, in the command line's words.
constexpr const char *kMarkerSlash = "the marker text holds a '/', which would lead into a folder";
constexpr const char *kListCannotHoldName = "info.txt cannot hold a name with a line end or Ctrl-Z";
constexpr const char *kKeptName = "it is the file being cut, or one this cut has made";
constexpr const char *kChangedWhileCut = "changed while it was cut, so it is kept";

void failCopy(const fileio::CopyResult &copied, const std::string &source, const std::string &part)
{
    switch (copied.status) {
    case fileio::CopyResult::Status::Done:
        return;
    case fileio::CopyResult::Status::ReadFailed:
    case fileio::CopyResult::Status::EndOfInput:
        fileio::streamReadError(source, copied.err);
    case fileio::CopyResult::Status::WriteFailed:
        fileio::streamWriteError(part, copied.err);
    case fileio::CopyResult::Status::Stopped:
        throw Stopped();
    }
}

// The file name of the source and the marker go into every part's name: what the part list or the
// folder cannot hold is refused before anything is made.
void refuseUnusableNames(const CutRequest &request, const std::string &marker, std::int64_t firstPart)
{
    if (firstPart == 0)
        return;
    const std::string first = PartFileName(request.source, marker, firstPart);
    if (marker.find('/') != std::string::npos)
        fileio::cannotCreateFile(first, 0, kMarkerSlash);
    const std::string text = fileio::namePart(request.source) + marker;
    if (request.writePartList && text.find_first_of("\r\n\x1a") != std::string::npos)
        fileio::cannotCreateFile(first, 0, kListCannotHoldName);
}

// The plan of a request, from the source's size.
struct Layout {
    SkipList skip;
    SplitPlan plan;
    std::string marker;

    bool makes(const CutRequest &request, std::int64_t n) const { return skip.contains(n) == request.onlyListed; }
    std::int64_t firstMade(const CutRequest &request) const
    {
        for (std::int64_t n = 1; n <= plan.partCount; ++n) {
            if (makes(request, n))
                return n;
        }
        return 0;
    }
};

Layout layoutOf(const CutRequest &request, std::int64_t size)
{
    Layout layout{ParseSkipList(request.skipText), MakeSplitPlan(size, request.mode),
                  request.markerOn ? request.marker : std::string()};
    return layout;
}

// One run of Cut: the source, the files made so far and those still to be named.
class CutRun {
public:
    CutRun(const CutRequest &request, ProgressSink &progress) : m_request(request), m_progress(progress)
    {
        m_existing = request.replaceExisting || request.onlyListed ? Existing::Replace : Existing::Refuse;
    }

    int run(PartListFactory *partListFactory, ChecksumListFactory *digestListFactory);

private:
    void openSource();
    void openLists(PartListFactory *partListFactory, ChecksumListFactory *digestListFactory);
    bool makeParts();
    void makePart(std::int64_t n, std::int64_t offset, std::int64_t length);
    void passOver(std::int64_t offset, std::int64_t length);
    void finishPart(fileio::AtomicOutput &part, bool toDevice);
    int removeSource();

    const CutRequest &m_request;
    ProgressSink &m_progress;
    Existing m_existing;
    fileio::File m_source;
    fileio::FileState m_sourceAtStart;
    std::int64_t m_size = 0;
    Layout m_layout;
    // The source, then the lists and every part made: no output may be written over one of them.
    fileio::FileIds m_keep;
    std::set<std::string> m_folders; // of every file made, when the source is to be deleted
    std::unique_ptr<PartListSink> m_partList;
    std::unique_ptr<ChecksumListSink> m_digests;
    std::optional<digest::BlockHashers> m_hashers;
    // With the source to be deleted, a part is flushed to the device only after the next one has
    // been copied, its writeback started at once: the device writes while the source is read.
    fileio::AtomicOutput m_unflushed;
};

void CutRun::openSource()
{
    if (!fileio::fileExists(m_request.source))
        reportNoFile(m_request.source);
    if (const int err = fileio::openForReading(m_request.source, m_source))
        fileio::cannotOpenFile(m_request.source, err);
    if (const int err = m_source.state(m_sourceAtStart))
        fileio::streamReadError(m_request.source, err);
    m_size = m_sourceAtStart.size;
    if (const std::optional<fileio::FileId> id = fileio::fileId(m_source))
        m_keep.insert(*id);
}

void CutRun::openLists(PartListFactory *partListFactory, ChecksumListFactory *digestListFactory)
{
    // The set's files lie beside the parts, which lie beside the source.
    const std::string folder = fileio::directoryPart(m_request.source);
    if (m_request.writePartList) {
        if (!partListFactory)
            throw std::logic_error("Cut: a part list was asked for but none was given");
        m_partList = partListFactory->open(folder, m_keep, m_existing);
    }
    if (m_request.writeDigests) {
        if (!digestListFactory)
            throw std::logic_error("Cut: digests were asked for but no list was given");
        m_digests = digestListFactory->open(folder, m_keep, m_existing);
        m_hashers.emplace(2);
    }
    if (m_request.deleteSource && (m_partList || m_digests))
        m_folders.insert(folder);
}

void CutRun::finishPart(fileio::AtomicOutput &part, bool toDevice)
{
    if (!part.isOpen())
        return;
    const std::string path = part.target();
    if (const int err = part.finish(m_keep, toDevice))
        fileio::streamWriteError(path, err);
}

// Creates one part and copies its bytes from the source into it, through the hashers when asked.
void CutRun::makePart(std::int64_t n, std::int64_t offset, std::int64_t length)
{
    const std::string path = PartFileName(m_request.source, m_layout.marker, n);
    // A part name that leads back to the source or to a part made before (a link) is refused
    // before anything is written.
    fileio::AtomicOutput part;
    if (const int err = part.open(path, m_keep, 0666, m_existing)) {
        if (err == fileio::kKeptFile)
            fileio::cannotCreateFile(path, EEXIST, kKeptName);
        fileio::cannotCreateFile(path, err == fileio::kNotRegularFile ? EISDIR : err);
    }
    failCopy(m_hashers ? digest::copyHashed(m_source, offset, &part.file(), length, *m_hashers, &m_progress)
                       : fileio::copyBytes(m_source, offset, part.file(), length, &m_progress),
             m_request.source, path);
    if (const std::optional<fileio::FileId> id = part.id())
        m_keep.insert(*id);
    if (m_request.deleteSource) {
        part.file().startWriteback(0, length);
        finishPart(m_unflushed, true);
        m_unflushed = std::move(part);
        m_folders.insert(fileio::directoryPart(path));
    } else {
        finishPart(part, false);
    }
    if (m_partList)
        m_partList->add(path);
    if (m_digests)
        m_digests->add(path, m_hashers->finish(kPartDigest));
}

// A part left out is never read, unless the whole source's digest needs its bytes.
void CutRun::passOver(std::int64_t offset, std::int64_t length)
{
    if (!m_hashers)
        return;
    failCopy(digest::copyHashed(m_source, offset, nullptr, length, *m_hashers, &m_progress), m_request.source,
             m_request.source);
    m_hashers->finish(kPartDigest);
}

// Removes the source only when it is still what was read: the same file under its name, neither
// written to nor cut short meanwhile. The parts, the lists and the folders that hold their names
// are on the device before it goes, so that a power cut never leaves the source removed and a part
// short. Returns the removal's error number.
int CutRun::removeSource()
{
    const std::optional<fileio::FileId> named = fileio::fileId(m_request.source);
    if (!named)
        return 0; // gone already: nothing left to remove
    fileio::FileState now;
    if (const int err = m_source.state(now))
        fileio::streamReadError(m_request.source, err);
    const bool same = now.size == m_sourceAtStart.size && now.modifiedNs == m_sourceAtStart.modifiedNs
        && named == fileio::fileId(m_source);
    if (!same)
        fileio::failWith("Source " + std::string(kChangedWhileCut), m_request.source);
    for (const std::string &folder : m_folders) {
        // EINVAL: the file system cannot flush a folder, and so has nothing of it to lose.
        if (const int err = fileio::syncDirectory(folder); err != 0 && err != EINVAL)
            fileio::streamWriteError(folder.empty() ? "." : folder, err);
    }
    static_cast<void>(m_source.close()); // only read
    return fileio::removeFile(m_request.source);
}

// Makes every part the plan and the request ask for; false when some were left out.
bool CutRun::makeParts()
{
    const SplitPlan &plan = m_layout.plan;
    bool complete = true;
    m_progress.setMaximum(plan.partCount);
    for (std::int64_t n = 1; n <= plan.partCount; ++n) {
        if (m_progress.stopRequested())
            throw Stopped();
        const std::int64_t offset = (n - 1) * plan.partSize;
        const std::int64_t length = plan.partLength(n, m_size);
        if (m_layout.makes(m_request, n)) {
            makePart(n, offset, length);
        } else {
            passOver(offset, length);
            complete = false;
        }
        m_progress.step();
    }
    return complete;
}

int CutRun::run(PartListFactory *partListFactory, ChecksumListFactory *digestListFactory)
{
    openSource();
    m_layout = layoutOf(m_request, m_size);
    refuseUnusableNames(m_request, m_layout.marker, m_layout.firstMade(m_request));
    openLists(partListFactory, digestListFactory);

    bool complete = true;
    try {
        complete = makeParts();
    } catch (...) {
        // A part copied whole keeps its name when a later one fails, as it would have without
        // the delay of its flush.
        if (m_unflushed.isOpen())
            static_cast<void>(m_unflushed.finish(m_keep));
        throw;
    }
    finishPart(m_unflushed, true);
    if (m_digests) {
        m_digests->finish(m_request.source, m_hashers->finish(kSourceDigest), complete, m_request.deleteSource);
        m_digests.reset();
    }
    // The part list last: with it the set is whole.
    if (m_partList) {
        m_partList->finish(m_request.deleteSource);
        m_partList.reset();
    }
    m_progress.reset();
    if (!m_request.deleteSource)
        return 0;
    return removeSource();
}

} // namespace

std::vector<std::string> existingOutputs(const CutRequest &request, const PartListFactory *partList,
                                         const ChecksumListFactory *digests)
{
    std::vector<std::string> existing;
    if (request.onlyListed)
        return existing;
    try {
        fileio::File source;
        std::int64_t size = 0;
        if (fileio::openForReading(request.source, source) != 0 || source.size(size) != 0)
            return existing;
        const Layout layout = layoutOf(request, size);
        for (std::int64_t n = 1; n <= layout.plan.partCount; ++n) {
            const std::string path = PartFileName(request.source, layout.marker, n);
            if (layout.makes(request, n) && fileio::nameTaken(path))
                existing.push_back(path);
        }
    } catch (const fileio::Failure &) {
        return {};
    }
    const std::string folder = fileio::directoryPart(request.source);
    std::vector<std::string> lists;
    if (request.writePartList && partList)
        lists = partList->fileNames(folder);
    if (request.writeDigests && digests) {
        const std::vector<std::string> more = digests->fileNames(folder);
        lists.insert(lists.end(), more.begin(), more.end());
    }
    for (const std::string &path : lists) {
        if (fileio::nameTaken(path))
            existing.push_back(path);
    }
    return existing;
}

int Cut(const CutRequest &request, ProgressSink &progress, PartListFactory *partListFactory,
        ChecksumListFactory *digestListFactory)
{
    return CutRun(request, progress).run(partListFactory, digestListFactory);
}

} // namespace ops
