// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut.h"

#include "part_name.h"
#include "progress.h"
#include "recovery_encoder.h"
#include "report_error.h"
#include "size_preset.h"
#include "skip_list.h"

#include "digest/block_hashers.h"
#include "digest/hashed_copy.h"
#include "fileio/atomic_output.h"
#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/io_error.h"
#include "fileio/file.h"
#include "fileio/file_system.h"
#include "fileio/output_batch.h"
#include "fileio/stream_copy.h"
#include "lists/checksum_list.h"
#include "lists/part_list.h"
#include "lists/recovery_header.h"
#include "lists/set_output.h"
#include "lists/sh_joiner.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <set>

namespace ops {

namespace {

using Existing = fileio::AtomicOutput::Existing;

// The digests a Cut keeps when asked for them: the part's, restarted for every part, and the
// whole source's.
constexpr std::size_t kPartDigest = 0;
constexpr std::size_t kSourceDigest = 1;

// Why a part's name cannot be used, in the command line's words.
constexpr const char *kMarkerSlash = "the marker text holds a '/', which would lead into a folder";
constexpr const char *kKeptName = "it is the file being cut, or one this cut has made";
// Why the request cannot run as asked.
constexpr const char *kTooFewForASet = "a set of fewer than two parts cannot be joined by its joiners";
constexpr const char *kSourceLink = "a symbolic link: deleting it would leave the file it leads to";
constexpr const char *kLeftOutLost = "deleting it would lose the parts left out, which exist nowhere else";
constexpr const char *kNoPartNamed = "the parts to make again are none of the cut's";
constexpr const char *kMarkerNumbered = "a marker does not go with parts numbered after the name (.001)";
constexpr const char *kNumberedStream =
    "parts numbered after the name (.001) need the part count, which a stream tells only at its end";
constexpr const char *kStreamCut = "a stream is cut by size into every part, and is not deleted";
constexpr const char *kDescriptorName = "it names an open descriptor, such as /dev/stdin, not a file in a folder";
constexpr const char *kRecoveryWhole =
    "recovery parts are made with every part, from a file, and with the checksum list";
constexpr const char *kRecoveryEmpty = "an empty file has nothing to rebuild";

// A stream's part is made only once its first bytes have come, so that a stream ending on a
// part's edge leaves no empty part after it: at most this much is read before the part is made.
constexpr std::size_t kStreamHead = std::size_t{64} << 10;

void failCopy(const fileio::CopyResult &copied, const std::string &source, const std::string &part)
{
    switch (copied.status) {
    case fileio::CopyResult::Status::Done:
        return;
    case fileio::CopyResult::Status::ReadFailed:
        fileio::streamReadError(source, copied.err);
    case fileio::CopyResult::Status::EndOfInput:
        // The source ended before its size: it was cut short while it was read.
        fileio::streamReadError(source, fileio::kChanged);
    case fileio::CopyResult::Status::WriteFailed:
        fileio::streamWriteError(part, copied.err);
    case fileio::CopyResult::Status::Stopped:
        throw Stopped();
    }
}

// Tells the progress how far a stream's part under way is, the bytes read before it was made
// counted in.
class PartProgress final : public fileio::CopyProgress {
public:
    PartProgress(ProgressSink &progress, std::int64_t head, std::int64_t length)
        : m_progress(progress), m_head(head), m_length(length)
    {
    }
    void partway(std::int64_t done, std::int64_t) override { m_progress.partway(m_head + done, m_length); }
    bool stopRequested() const override { return m_progress.stopRequested(); }

private:
    ProgressSink &m_progress;
    std::int64_t m_head;
    std::int64_t m_length;
};

// The plan of a request, from the source's size.
struct Layout {
    SkipList skip;
    SplitPlan plan;
    std::string marker;

    std::string partName(const CutRequest &request, std::int64_t n) const
    {
        return request.names == PartNames::Numbered ? NumberedPartName(request.source, n, plan.partCount)
                                                    : PartFileName(request.source, marker, n);
    }

    bool makes(const CutRequest &request, std::int64_t n) const { return skip.contains(n) == request.onlyListed; }
    // The parts made, counted up to `enough`.
    std::int64_t madeCount(const CutRequest &request, std::int64_t enough) const
    {
        std::int64_t made = 0;
        for (std::int64_t n = 1; n <= plan.partCount && made < enough; ++n)
            made += makes(request, n) ? 1 : 0;
        return made;
    }
    std::int64_t firstMade(const CutRequest &request) const
    {
        for (std::int64_t n = 1; n <= plan.partCount; ++n) {
            if (makes(request, n))
                return n;
        }
        return 0;
    }
    bool leavesOut(const CutRequest &request) const { return madeCount(request, plan.partCount) < plan.partCount; }
};

// A plan the size cannot carry names the source it was made for.
Layout layoutOf(const CutRequest &request, std::int64_t size)
{
    try {
        return Layout{request.skip, planSplit(size, request.mode), request.marker};
    } catch (const ReportedFailure &refused) {
        reportError(refused.text(), request.source, 0, refused.why());
    }
}

// The file name of the source and the marker go into every part's name: what the part list or the
// folder cannot hold is refused before anything is made.
void refuseUnusableNames(const CutRequest &request, const Layout &layout)
{
    const std::string &marker = layout.marker;
    // Tools that read film.mkv.001 take nothing between the name and the number.
    if (request.names == PartNames::Numbered && !marker.empty())
        reportError(kInvalidFileName, request.source, 0, kMarkerNumbered);
    const std::int64_t firstPart = layout.firstMade(request);
    if (firstPart == 0)
        return;
    const std::string first = layout.partName(request, firstPart);
    if (const char *problem = markerProblem(marker))
        fileio::cannotCreateFile(first, 0, problem);
    if (request.writePartList && !lists::partListCanHold(fileio::namePart(request.source) + marker))
        fileio::cannotCreateFile(first, 0, lists::kPartListCannotHold);
}

// A character of the marker as a reason shows it: a control character as its key and number
// (Ctrl-A (0x01)), in words both languages read.
std::string shownCharacter(char c)
{
    const auto code = static_cast<unsigned char>(c);
    if (code >= 0x20)
        return std::string("'") + c + "'";
    constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("Ctrl-") + static_cast<char>('@' + code) + " (0x" + kDigits[code >> 4] + kDigits[code & 0xF]
        + ")";
}

// What the file system the parts go to cannot hold, found before anything is made: a part over its
// largest file, a marker with a character its names refuse. A file system that cannot be asked is
// taken as one without rules: a write it refuses still fails the cut, and says why.
void refuseWhatTheFileSystemCannotHold(const CutRequest &request, const Layout &layout, std::int64_t size)
{
    fileio::FileSystemRules rules;
    if (fileio::fileSystemRules(fileio::directoryPart(request.source), rules) != 0)
        return;
    if (rules.largestFile > 0 && layout.plan.partSize > rules.largestFile) {
        std::int64_t largest = 0;
        for (std::int64_t n = 1; n <= layout.plan.partCount; ++n)
            largest = layout.makes(request, n) ? std::max(largest, layout.plan.partLength(n, size)) : largest;
        if (largest > rules.largestFile) {
            const SizePreset *fits = largestPresetWithin(rules.largestFile);
            reportError(kInvalidFileSize, request.source, 0,
                        "parts of " + std::to_string(largest) + " bytes do not fit a " + rules.kind
                            + " file system (at most " + std::to_string(rules.largestFile) + " bytes a file)"
                            + (fits ? std::string(": try --size ") + fits->name : std::string()));
        }
    }
    // A recovery part is the largest part and its header.
    if (rules.largestFile > 0 && request.recovery > 0 && layout.plan.partCount > 0) {
        const std::int64_t recovery =
            std::min(layout.plan.partSize, size) + lists::recoveryHeaderSize(layout.plan.partCount);
        if (recovery > rules.largestFile)
            reportError(kInvalidFileSize, request.source, 0,
                        "recovery parts of " + std::to_string(recovery) + " bytes do not fit a " + rules.kind
                            + " file system (at most " + std::to_string(rules.largestFile)
                            + " bytes a file): ask for smaller parts");
    }
    const std::int64_t first = layout.firstMade(request);
    if (rules.windowsNames && first != 0) {
        if (const char c = fileio::refusedNameCharacter(layout.marker))
            fileio::cannotCreateFile(layout.partName(request, first), 0,
                                     "the marker text holds " + shownCharacter(c)
                                         + ", which FAT and Windows file systems do not take in a name");
    }
}

// What a request asks for that the cut must not do as it stands, found before anything is made.
void refuseUnsafeRequest(const CutRequest &request, const Layout &layout)
{
    // The joiners join two parts or more: a set of one, or none, would be written for nothing.
    if (request.writePartList && layout.madeCount(request, 2) < 2)
        reportError(kInvalidFileSize, request.source, 0, kTooFewForASet);
    if (request.onlyListed && layout.firstMade(request) == 0)
        reportError(kInvalidFileSize, request.source, 0, kNoPartNamed);
    if (request.deleteSource && !request.deleteLeavingPartsOut && layout.leavesOut(request))
        reportError(kInvalidFileName, request.source, 0, kLeftOutLost);
    if (request.recovery != 0) {
        if (request.recovery < 1 || request.recovery > lists::kMaxRecoveryPerGroup)
            reportError(kInvalidFileSize, request.source, 0,
                        "recovery parts per group go from 1 to " + std::to_string(lists::kMaxRecoveryPerGroup));
        if (!request.writeDigests || request.onlyListed || layout.leavesOut(request))
            reportError(kInvalidFileName, request.source, 0, kRecoveryWhole);
        if (layout.plan.partSize < 1 || layout.plan.partCount < 1)
            reportError(kInvalidFileSize, request.source, 0, kRecoveryEmpty);
    }
}

// The recovery parts' layout of a plan: the identity comes at the end.
lists::RecoveryLayout recoveryLayoutOf(const CutRequest &request, const Layout &layout, std::int64_t size)
{
    lists::RecoveryLayout recovery;
    recovery.sourceSize = size;
    for (std::int64_t n = 1; n <= layout.plan.partCount; ++n)
        recovery.partSizes.push_back(layout.plan.partLength(n, size));
    recovery.perGroup = request.recovery;
    recovery.groups = lists::recoveryGroupCount(layout.plan.partCount, request.recovery);
    return recovery;
}

std::vector<std::string> recoveryNames(const CutRequest &request, int count)
{
    std::vector<std::string> names;
    for (int x = 1; x <= count; ++x)
        names.push_back(lists::recoveryPartName(request.source, x));
    return names;
}

// One run of Cut: the source, the files made so far and those still to be named.
class CutRun {
public:
    CutRun(const CutRequest &request, ProgressSink &progress)
        : m_request(request), m_progress(progress), m_outputs(request.deleteSource)
    {
        m_existing = request.replaceExisting || request.onlyListed ? Existing::Replace : Existing::Refuse;
    }

    int run();

private:
    void openSource();
    void openStream();
    void openLists();
    void openRecovery();
    void finishRecovery(const digest::Sha256Digest &whole);
    bool makeParts();
    void makeStreamParts();
    fileio::AtomicOutput createPart(const std::string &path);
    void addPart(fileio::AtomicOutput part, const std::string &path, std::int64_t length);
    std::int64_t bytesRead() const;
    void makePart(std::int64_t n, std::int64_t offset, std::int64_t length);
    void passOver(std::int64_t offset, std::int64_t length);
    void finishLists(bool complete);
    void flushOutputs();
    void nameOutputs();
    [[noreturn]] void failNaming(const std::string &path, int err) const;
    int removeSource();

    const CutRequest &m_request;
    ProgressSink &m_progress;
    Existing m_existing;
    fileio::File m_source;
    fileio::FileId m_sourceId{};
    fileio::FileState m_sourceAtStart;
    std::int64_t m_size = 0;
    Layout m_layout;
    // The source, then the lists and every part made: no output may be written over one of them.
    fileio::FileIds m_keep;
    std::set<std::string> m_folders; // of every file made, when the source is to be deleted
    std::set<std::string> m_parts;   // the names the parts take
    std::optional<lists::OpenList> m_partList;
    std::optional<lists::OpenList> m_digests;
    // Takes the blocks beside the hashers, and so outlives them.
    std::optional<RecoveryEncoder> m_encoder;
    std::optional<digest::BlockHashers> m_hashers;
    lists::ShJoinerSet m_script; // what the shell joiner checks
    // Every file made, whole, waiting to take its name with the others. With the source to be
    // deleted, each reaches the device while the next one is made.
    fileio::OutputBatch m_outputs;
};

void CutRun::openSource()
{
    const std::string &source = m_request.source;
    if (m_request.stream)
        return openStream();
    if (!fileio::fileExists(source))
        reportNoFile(source);
    // A source to be deleted is the file itself: removing a link would leave its bytes in place.
    const fileio::Links links = m_request.deleteSource ? fileio::Links::Refuse : fileio::Links::Follow;
    if (const int err = fileio::openForReading(source, m_source, links)) {
        if (err == fileio::kSymbolicLink)
            reportError(kInvalidFileName, source, 0, kSourceLink);
        if (err == fileio::kNotRegularFile)
            reportError(kInvalidFileName, source, 0, fileio::errorText(err));
        fileio::cannotOpenFile(source, err);
    }
    if (const int err = m_source.state(m_sourceAtStart))
        fileio::streamReadError(source, err);
    m_size = m_sourceAtStart.size;
    if (const std::optional<fileio::FileId> id = fileio::fileId(m_source)) {
        m_sourceId = *id;
        m_keep.insert(*id);
    }
    // Parts beside /dev/stdin would go into /dev, and those of /proc/self/fd/0 nowhere.
    if (fileio::namesDescriptor(source))
        reportError(kInvalidFileName, source, 0, kDescriptorName);
}

// The stream is read from where it stands through a descriptor of the Cut's own; whatever it is (a
// file given as standard input among them), no part may be written over it.
void CutRun::openStream()
{
    const CutStream &stream = *m_request.stream;
    if (m_request.mode.partBytes <= 0 || !m_request.skip.empty() || m_request.onlyListed || m_request.deleteSource)
        reportError(kInvalidFileName, stream.name, 0, kStreamCut);
    // Their width follows the part count, which a stream tells only at its end.
    if (m_request.names == PartNames::Numbered)
        reportError(kInvalidFileName, stream.name, 0, kNumberedStream);
    if (m_request.recovery != 0)
        reportError(kInvalidFileName, stream.name, 0, kRecoveryWhole);
    fileio::File given(stream.handle);
    m_source = given.duplicate();
    const int err = errno;
    static_cast<void>(given.release()); // the caller's
    if (!m_source.isOpen())
        fileio::streamReadError(stream.name, err);
    if (const std::optional<fileio::FileId> id = fileio::fileId(m_source))
        m_keep.insert(*id);
    m_layout.plan.partSize = m_request.mode.partBytes;
}

// Each list is kept from being written over by what follows it.
void keepList(const lists::OpenList &list, fileio::FileIds &keep)
{
    if (const std::optional<fileio::FileId> id = list.id())
        keep.insert(*id);
}

void CutRun::openLists()
{
    // The set's files lie beside the parts, which lie beside the source.
    const std::string folder = fileio::directoryPart(m_request.source);
    if (m_request.writePartList) {
        m_partList.emplace(lists::OpenPartList(folder, m_keep, m_existing));
        keepList(*m_partList, m_keep);
        // The joiners are written last: one in the way is found before any part is made.
        for (const JoinerImage &joiner : m_request.joiners) {
            if (m_existing == Existing::Refuse)
                lists::refuseExisting(folder + lists::joinerFileName(joiner.platform));
        }
    }
    if (m_request.writeDigests) {
        m_digests.emplace(lists::openSetOutput(folder + lists::kChecksumListName, m_keep, m_existing));
        keepList(*m_digests, m_keep);
        if (m_request.recovery > 0)
            openRecovery();
        m_hashers.emplace(2, m_encoder ? &*m_encoder : nullptr);
    }
    if (m_request.deleteSource && (m_partList || m_digests))
        m_folders.insert(folder);
}

// Every recovery part is open from the start: the parts of each group are dealt through the
// whole source, so each group's recovery parts take bytes until the end.
void CutRun::openRecovery()
{
    lists::RecoveryLayout layout = recoveryLayoutOf(m_request, m_layout, m_size);
    const int count = layout.recoveryCount();
    // Beside those the outputs' batch and the lists hold.
    const std::int64_t limit = fileio::openFileLimit();
    if (limit >= 0 && count > limit / 2 - 256)
        reportError(kInvalidFileSize, m_request.source, 0,
                    std::to_string(count) + " recovery parts are more than can be open together here ("
                        + std::to_string(limit) + " files): ask for fewer, or for larger parts");
    m_encoder.emplace(std::move(layout));
    std::string failed;
    if (const int err = m_encoder->open(recoveryNames(m_request, count), m_keep, m_existing, failed)) {
        if (err == fileio::kKeptFile)
            fileio::cannotCreateFile(failed, EEXIST, kKeptName);
        fileio::cannotCreateFile(failed, 0, fileio::errorText(err));
    }
}

// The recovery parts take the set's identity, and their lines come after the parts'.
void CutRun::finishRecovery(const digest::Sha256Digest &whole)
{
    std::string failed;
    if (const int err = m_encoder->finish(whole, failed, &m_progress)) {
        if (err == RecoveryEncoder::kStopped)
            throw Stopped();
        fileio::streamWriteError(failed, err);
    }
    for (std::size_t x = 0; x < m_encoder->outputs().size(); ++x) {
        fileio::AtomicOutput &output = m_encoder->outputs()[x];
        m_digests->add(lists::checksumLine(m_encoder->digests()[x], fileio::namePart(output.target())));
        m_parts.insert(output.target());
        if (const int err = m_outputs.add(std::move(output), failed))
            failNaming(failed, err);
    }
}

// Creates one part and copies its bytes from the source into it, through the hashers when asked.
fileio::AtomicOutput CutRun::createPart(const std::string &path)
{
    // A part name that leads back to the source or to a part made before (a link) is refused
    // before anything is written.
    fileio::AtomicOutput part;
    if (const int err = part.open(path, m_keep, 0666, m_existing)) {
        if (err == fileio::kKeptFile)
            fileio::cannotCreateFile(path, EEXIST, kKeptName);
        fileio::cannotCreateFile(path, 0, fileio::errorText(err));
    }
    return part;
}

void CutRun::makePart(std::int64_t n, std::int64_t offset, std::int64_t length)
{
    const std::string path = m_layout.partName(m_request, n);
    fileio::AtomicOutput part = createPart(path);
    if (m_encoder)
        m_encoder->beginPart(n - 1);
    failCopy(m_hashers ? digest::copyHashed(m_source, offset, &part.file(), length, *m_hashers, &m_progress)
                       : fileio::copyBytes(m_source, offset, part.file(), length, &m_progress),
             m_request.source, path);
    std::string failed;
    if (const int err = m_encoder ? m_encoder->failure(failed) : 0)
        fileio::streamWriteError(failed, err);
    addPart(std::move(part), path, length);
}

// A part whose bytes are all in joins the others waiting for their names, and the lists.
void CutRun::addPart(fileio::AtomicOutput part, const std::string &path, std::int64_t length)
{
    if (const std::optional<fileio::FileId> id = part.id())
        m_keep.insert(*id);
    if (m_request.deleteSource) {
        part.file().startWriteback(0, length);
        m_folders.insert(fileio::directoryPart(path));
    }
    m_parts.insert(part.target());
    std::string failed;
    if (const int err = m_outputs.add(std::move(part), failed))
        failNaming(failed, err);
    if (m_partList)
        lists::AddToPartList(*m_partList, path);
    lists::ShJoinerPart &listed = m_script.parts.emplace_back(lists::ShJoinerPart{fileio::namePart(path), length, {}});
    if (m_digests) {
        listed.digest = m_hashers->finish(kPartDigest);
        m_digests->add(lists::checksumLine(*listed.digest, listed.name));
    }
}

// Cuts the stream into parts of the part size until it ends; the count is known only then. A set
// its joiners cannot join is refused then, before anything takes a name.
void CutRun::makeStreamParts()
{
    const std::string &name = m_request.stream->name;
    const std::int64_t partBytes = m_layout.plan.partSize;
    std::unique_ptr<char[]> head(new char[kStreamHead]);
    m_progress.setMaximum(0);
    m_progress.setByteTotal(-1);
    for (bool ended = false; !ended;) {
        if (m_progress.stopRequested())
            throw Stopped();
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(partBytes, kStreamHead));
        std::size_t got = 0;
        if (const int err = m_source.read(head.get(), want, got))
            fileio::streamReadError(name, err);
        if (got == 0)
            break;
        const std::int64_t n = ++m_layout.plan.partCount;
        const std::string path = PartFileName(m_request.source, m_layout.marker, n);
        fileio::AtomicOutput part = createPart(path);
        if (m_hashers)
            m_hashers->post(head.get(), got);
        const int written = part.file().write(head.get(), got);
        if (m_hashers)
            m_hashers->wait();
        if (written != 0)
            fileio::streamWriteError(path, written);
        auto length = static_cast<std::int64_t>(got);
        ended = got < want;
        if (!ended && length < partBytes) {
            PartProgress progress(m_progress, length, partBytes);
            std::int64_t copied = 0;
            const std::int64_t rest = partBytes - length;
            failCopy(m_hashers ? digest::copyStreamHashed(m_source, part.file(), rest, copied, *m_hashers, &progress)
                               : fileio::copyFromStream(m_source, part.file(), rest, copied, &progress),
                     name, path);
            length += copied;
            ended = copied < rest;
        }
        m_size += length;
        addPart(std::move(part), path, length);
        m_progress.partway(length, length);
        m_progress.step();
    }
    if (m_request.writePartList && m_layout.plan.partCount < 2)
        reportError(kInvalidFileSize, name, 0, kTooFewForASet);
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

// The parts made are read, and those left out too when the whole source's digest needs them.
std::int64_t CutRun::bytesRead() const
{
    if (m_hashers)
        return m_size;
    std::int64_t bytes = 0;
    for (std::int64_t n = 1; n <= m_layout.plan.partCount; ++n)
        bytes += m_layout.makes(m_request, n) ? m_layout.plan.partLength(n, m_size) : 0;
    return bytes;
}

// Makes every part the plan and the request ask for; false when some were left out.
bool CutRun::makeParts()
{
    const SplitPlan &plan = m_layout.plan;
    bool complete = true;
    m_progress.setMaximum(plan.partCount);
    m_progress.setByteTotal(bytesRead());
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

// The lists follow the parts into the batch, then the joiners, the part list last: with it the
// set is whole.
void CutRun::finishLists(bool complete)
{
    if (m_digests) {
        const digest::Sha256Digest whole = m_hashers->finish(kSourceDigest);
        if (m_encoder)
            finishRecovery(whole);
        // sha256sum passes over comment lines; a join reads the incomplete set's as "the parts do
        // not make the whole file", verify either as "the next line is the whole file".
        m_digests->add(std::string(complete ? lists::kWholeFileComment : lists::kIncompleteSetComment) + "\n");
        if (complete)
            m_script.wholeDigest = whole;
        m_digests->add(lists::checksumLine(whole, fileio::namePart(m_request.source)));
        m_digests->finishInto(m_outputs);
        m_digests.reset();
    }
    if (!m_partList)
        return;
    const std::string folder = fileio::directoryPart(m_request.source);
    m_script.wholeName = fileio::namePart(m_request.source);
    for (const JoinerImage &joiner : m_request.joiners) {
        std::string failed;
        const std::string path = folder + lists::joinerFileName(joiner.platform);
        const bool isScript = joiner.platform == lists::JoinerPlatform::Sh;
        const std::string script = isScript ? lists::shJoinerScript(m_script) : std::string();
        const std::span<const unsigned char> bytes =
            isScript ? std::span(reinterpret_cast<const unsigned char *>(script.data()), script.size()) : joiner.image;
        if (const int err =
                m_outputs.add(lists::writeSetFile(path, bytes, m_keep, m_existing, lists::kExecutableMode), failed))
            fileio::failErrno(err, failed);
    }
    m_partList->finishInto(m_outputs);
    m_partList.reset();
}

// With the source to be deleted, every file made reaches the device before any takes its name.
void CutRun::flushOutputs()
{
    std::string failed;
    if (const int err = m_outputs.flush(failed))
        failNaming(failed, err);
}

// Every file made is whole (and on the device, with the source to be deleted). The source must
// still be what was read, and no stop asked for; then comes the point of no return: the outputs
// take their names, one after the other, and a stop no longer undoes the run.
void CutRun::nameOutputs()
{
    flushOutputs();
    std::string failed;
    fileio::FileState now;
    if (!m_request.stream) { // a stream's bytes, once read, are what was cut
        if (const int err = m_source.state(now))
            fileio::streamReadError(m_request.source, err);
        if (!now.sameContentAs(m_sourceAtStart))
            fileio::streamReadError(m_request.source, fileio::kChanged);
    }
    if (m_progress.stopRequested())
        throw Stopped();
    if (const int err = m_outputs.commit(m_keep, failed))
        failNaming(failed, err);
}

// A part that cannot take its name fails as its writing would; a file of the set as the set's
// files fail, through IoErrorReport.
void CutRun::failNaming(const std::string &path, int err) const
{
    if (!m_parts.contains(path))
        fileio::failErrno(err == fileio::kKeptFile ? EACCES : err, path);
    if (err == fileio::kKeptFile)
        fileio::cannotCreateFile(path, EEXIST, kKeptName);
    fileio::streamWriteError(path, err);
}

// Removes the source only when it is still what was read: the same file under its name, neither
// written to nor cut short meanwhile, and no stop asked for. The folders that hold the new names
// are on the device before it goes, so that a power cut never leaves the source removed and a part
// missing. Returns the removal's error number: kChanged for a source kept because it changed.
int CutRun::removeSource()
{
    for (const std::string &folder : m_folders) {
        // EINVAL: the file system cannot flush a folder, and so has nothing of it to lose.
        if (const int err = fileio::syncDirectory(folder); err != 0 && err != EINVAL)
            fileio::streamWriteError(folder.empty() ? "." : folder, err);
    }
    fileio::FileState now;
    if (const int err = m_source.state(now))
        return err;
    if (!now.sameContentAs(m_sourceAtStart))
        return fileio::kChanged;
    if (m_progress.stopRequested())
        throw Stopped(Stopped::Left::SourceKept, m_request.source);
    static_cast<void>(m_source.close()); // only read
    const int err = fileio::removeIfStill(m_request.source, m_sourceId);
    return err == ENOENT ? 0 : err; // gone already: nothing left to remove
}

int CutRun::run()
{
    openSource();
    if (m_request.stream) {
        m_layout.marker = m_request.marker;
        m_layout.plan.partCount = 1; // the first part stands for all in the checks of names
        refuseUnusableNames(m_request, m_layout);
        refuseWhatTheFileSystemCannotHold(m_request, m_layout, m_layout.plan.partSize);
        m_layout.plan.partCount = 0;
        openLists();
        makeStreamParts();
        flushOutputs();
        finishLists(true);
        nameOutputs();
        m_progress.reset();
        return 0;
    }
    m_layout = layoutOf(m_request, m_size);
    refuseUnusableNames(m_request, m_layout);
    refuseWhatTheFileSystemCannotHold(m_request, m_layout, m_size);
    refuseUnsafeRequest(m_request, m_layout);
    openLists();
    const bool complete = makeParts();
    flushOutputs();
    finishLists(complete);
    nameOutputs();
    m_progress.reset();
    return m_request.deleteSource ? removeSource() : 0;
}

} // namespace

const char *markerProblem(std::string_view marker)
{
    return marker.find('/') == std::string_view::npos ? nullptr : kMarkerSlash;
}

CutRequest fromCutPage(const CutPage &page)
{
    // The source is looked at first, as Cut looks at it: a missing one is told before any text.
    if (!fileio::fileExists(page.source))
        reportNoFile(page.source);
    fileio::File source;
    if (const int err = fileio::openForReading(page.source, source)) {
        if (err == fileio::kNotRegularFile)
            reportError(kInvalidFileName, page.source, err);
        fileio::cannotOpenFile(page.source, err);
    }
    static_cast<void>(source.close()); // only looked at
    CutRequest request;
    request.source = page.source;
    request.skip = ParseSkipList(page.skipText);
    request.mode = splitByOf(page.mode);
    request.marker = page.markerOn ? page.marker : std::string();
    request.writePartList = page.writePartList;
    request.deleteSource = page.deleteSource;
    return request;
}

std::vector<std::string> existingOutputs(const CutRequest &request)
{
    std::vector<std::string> existing;
    if (request.onlyListed)
        return existing;
    if (request.stream) {
        // A stream's part count is known only at its end: the parts of an earlier cut are found
        // from the first on, and any other one when the cut comes to it.
        for (std::int64_t n = 1;; ++n) {
            const std::string path = PartFileName(request.source, request.marker, n);
            if (!fileio::nameTaken(path))
                break;
            existing.push_back(path);
        }
    } else {
        try {
            fileio::File source;
            std::int64_t size = 0;
            if (fileio::openForReading(request.source, source) != 0 || source.size(size) != 0)
                return existing;
            const Layout layout = layoutOf(request, size);
            for (std::int64_t n = 1; n <= layout.plan.partCount; ++n) {
                const std::string path = layout.partName(request, n);
                if (layout.makes(request, n) && fileio::nameTaken(path))
                    existing.push_back(path);
            }
            const int groups =
                request.recovery > 0 ? lists::recoveryGroupCount(layout.plan.partCount, request.recovery) : 0;
            for (const std::string &path : recoveryNames(request, groups * request.recovery)) {
                if (fileio::nameTaken(path))
                    existing.push_back(path);
            }
        } catch (const fileio::Failure &) {
            return {};
        }
    }
    const std::string folder = fileio::directoryPart(request.source);
    std::vector<std::string> setFiles;
    if (request.writePartList) {
        setFiles.push_back(folder + lists::kPartListName);
        for (const JoinerImage &joiner : request.joiners)
            setFiles.push_back(folder + lists::joinerFileName(joiner.platform));
    }
    if (request.writeDigests)
        setFiles.push_back(folder + lists::kChecksumListName);

    for (const std::string &path : setFiles) {
        if (fileio::nameTaken(path))
            existing.push_back(path);
    }
    return existing;
}

std::optional<CutPreview> previewCut(const CutRequest &request, std::size_t listed)
{
    if (request.stream) // its plan is known only at its end
        return std::nullopt;
    try {
        fileio::File source;
        std::int64_t size = 0;
        if (fileio::openForReading(request.source, source) != 0 || source.size(size) != 0)
            return std::nullopt;
        const Layout layout = layoutOf(request, size);
        CutPreview preview;
        preview.partCount = layout.plan.partCount;
        for (std::int64_t n = 1; n <= layout.plan.partCount; ++n) {
            if (layout.makes(request, n))
                ++preview.partsMade;
            else if (preview.leftOut.size() < listed)
                preview.leftOut.push_back(n);
        }
        return preview;
    } catch (const fileio::Failure &) {
        return std::nullopt;
    }
}

int Cut(const CutRequest &request, ProgressSink &progress)
{
    return CutRun(request, progress).run();
}

} // namespace ops
