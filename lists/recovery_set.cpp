// SPDX-License-Identifier: GPL-3.0-or-later
#include "recovery_set.h"

#include "checksum_list.h"
#include "set_names.h"

#include "digest/block_hashers.h"
#include "digest/hashed_copy.h"
#include "fileio/file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace lists {

namespace {

// What the stripes of one rebuild may hold together, inputs and outputs.
constexpr std::size_t kStripeBudget = 32 * 1024 * 1024;
constexpr std::size_t kLargestStripe = 1024 * 1024;
constexpr std::size_t kSmallestStripe = 4096;

// Whether the file matches its line; stays false when `stop` asked to stop meanwhile.
bool matchesLine(const std::string &path, const digest::Sha256Digest &line, fileio::CopyProgress *stop, bool &stopped)
{
    fileio::File file;
    fileio::FileState before;
    if (fileio::openForReading(path, file) != 0 || file.state(before) != 0)
        return false;
    digest::BlockHashers hasher(1);
    const fileio::CopyResult read = digest::copyHashed(file, 0, nullptr, before.size, hasher, stop);
    stopped = read.status == fileio::CopyResult::Status::Stopped;
    fileio::FileState after;
    const bool same = read.ok() && file.state(after) == 0 && after.sameContentAs(before);
    static_cast<void>(file.close()); // only read
    return same && hasher.finish(0) == line;
}

// Reads exactly n bytes at the offset: a file shorter than it was when it was checked changed.
int readFully(fileio::File &file, unsigned char *buffer, std::size_t n, std::int64_t offset)
{
    std::size_t got = 0; // readAt stops short only at the end
    if (const int err = file.readAt(buffer, n, offset, got))
        return err;
    return got < n ? fileio::kChanged : 0;
}

} // namespace

RecoverySet::RecoverySet(std::vector<Member> parts, std::vector<Member> recovery, const digest::Sha256Digest &identity)
    : m_parts(parts.size()), m_members(std::move(parts)), m_identity(identity)
{
    m_members.insert(m_members.end(), std::make_move_iterator(recovery.begin()),
                     std::make_move_iterator(recovery.end()));
}

bool RecoverySet::survey(fileio::CopyProgress *stop)
{
    for (Member &member : m_members) {
        // A file too short for a second block never asks on its own.
        if (stop != nullptr && stop->stopRequested())
            return false;
        bool stopped = false;
        member.whole = matchesLine(member.path, member.digest, stop, stopped);
        if (stopped)
            return false;
    }
    return true;
}

bool RecoverySet::findLayout()
{
    const auto k = static_cast<std::int64_t>(m_parts);
    const auto recovery = static_cast<int>(m_members.size() - m_parts);
    for (std::size_t file = m_parts; file < m_members.size(); ++file) {
        if (!m_members[file].whole)
            continue;
        fileio::File part;
        std::int64_t size = 0;
        if (fileio::openForReading(m_members[file].path, part) != 0 || part.size(size) != 0)
            continue;
        const RecoveryHeaderResult read = readRecoveryHeader(part, size, m_identity);
        static_cast<void>(part.close()); // only read
        // A whole part of another set, or of another count, or in another place, does not say.
        if (!read.header || static_cast<std::int64_t>(read.header->layout.partSizes.size()) != k
            || read.header->layout.recoveryCount() != recovery
            || read.header->index != static_cast<int>(file - m_parts))
            continue;
        m_layout = read.header->layout;
        return true;
    }
    // No recovery part to say it: every data part then must be whole to rebuild them.
    RecoveryLayout layout;
    layout.identity = m_identity;
    for (std::size_t file = 0; file < m_parts; ++file) {
        std::int64_t size = 0;
        fileio::File part;
        if (!m_members[file].whole || fileio::openForReading(m_members[file].path, part) != 0 || part.size(size) != 0)
            return false;
        layout.partSizes.push_back(size);
        layout.sourceSize += size;
    }
    for (int n = 1; n <= kMaxRecoveryPerGroup; ++n) {
        if (n * recoveryGroupCount(k, n) == recovery) {
            layout.perGroup = n;
            layout.groups = recoveryGroupCount(k, n);
            m_layout = layout;
            return true;
        }
    }
    return false;
}

int RecoverySet::groupOf(std::size_t file) const
{
    if (file < m_parts)
        return m_layout->groupOf(static_cast<std::int64_t>(file));
    return static_cast<int>(file - m_parts) / m_layout->perGroup;
}

int RecoverySet::shardOf(std::size_t file) const
{
    if (file < m_parts)
        return m_layout->columnOf(static_cast<std::int64_t>(file));
    const int group = groupOf(file);
    return static_cast<int>(m_layout->partsInGroup(group)) + static_cast<int>(file - m_parts) % m_layout->perGroup;
}

std::int64_t RecoverySet::sizeOf(std::size_t file) const
{
    if (file < m_parts)
        return m_layout->partSizes[file];
    RecoveryHeader header{*m_layout, 0};
    return header.headerSize() + m_layout->shardLength();
}

std::vector<std::size_t> RecoverySet::broken() const
{
    std::vector<std::size_t> files;
    for (std::size_t file = 0; file < m_members.size(); ++file)
        if (!m_members[file].whole)
            files.push_back(file);
    return files;
}

bool RecoverySet::rebuildable() const
{
    if (!m_layout)
        return broken().empty();
    std::vector<int> lost(static_cast<std::size_t>(m_layout->groups), 0);
    for (const std::size_t file : broken())
        ++lost[static_cast<std::size_t>(groupOf(file))];
    return std::all_of(lost.begin(), lost.end(), [&](int n) { return n <= m_layout->perGroup; });
}

RecoverySet::Failure RecoverySet::rebuild(RecoveryCoder &coder, const std::vector<std::size_t> &files, const Sink &sink)
{
    if (files.empty())
        return {};
    if (!m_layout)
        return {EINVAL, m_members[files.front()].path};
    const RecoveryLayout &layout = *m_layout;
    const int group = groupOf(files.front());
    const auto k = static_cast<int>(layout.partsInGroup(group));
    const std::int64_t length = layout.shardLength();
    const std::int64_t headerSize = RecoveryHeader{layout, 0}.headerSize();

    // The group's whole files, data parts first, as many as it has data parts.
    std::vector<std::size_t> sources;
    std::vector<int> sourceShards;
    for (int column = 0; column < k; ++column) {
        const auto file = static_cast<std::size_t>(group + column * layout.groups);
        if (m_members[file].whole && std::find(files.begin(), files.end(), file) == files.end())
            sources.push_back(file);
    }
    for (int row = 0; row < layout.perGroup && static_cast<int>(sources.size()) < k; ++row) {
        const std::size_t file = m_parts + static_cast<std::size_t>(group * layout.perGroup + row);
        if (m_members[file].whole && std::find(files.begin(), files.end(), file) == files.end())
            sources.push_back(file);
    }
    std::vector<int> wanted;
    for (const std::size_t file : files)
        wanted.push_back(shardOf(file));
    for (const std::size_t file : sources)
        sourceShards.push_back(shardOf(file));
    const std::optional<GfMatrix> rows =
        static_cast<int>(sources.size()) == k ? rebuildRows(k, layout.perGroup, sourceShards, wanted) : std::nullopt;
    if (!rows)
        return {EINVAL, m_members[files.front()].path};
    coder.setRows(k, static_cast<int>(files.size()), *rows);

    std::vector<fileio::File> inputs(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i)
        if (const int err = fileio::openForReading(m_members[sources[i]].path, inputs[i]))
            return {err, m_members[sources[i]].path};
    const std::size_t buffers = sources.size() + files.size();
    const std::size_t stripe =
        std::min<std::size_t>({std::max(kStripeBudget / buffers / kSmallestStripe * kSmallestStripe, kSmallestStripe),
                               kLargestStripe, static_cast<std::size_t>(std::max<std::int64_t>(length, 1))});
    const std::unique_ptr<unsigned char[]> memory(new unsigned char[stripe * buffers]);
    std::vector<unsigned char *> buffer;
    for (std::size_t i = 0; i < buffers; ++i)
        buffer.push_back(memory.get() + i * stripe);
    const std::vector<const unsigned char *> in(buffer.begin(),
                                                buffer.begin() + static_cast<std::ptrdiff_t>(sources.size()));
    unsigned char *const *out = buffer.data() + sources.size();

    for (std::size_t w = 0; w < files.size(); ++w) {
        if (files[w] < m_parts)
            continue;
        const std::vector<unsigned char> header = encodeRecoveryHeader({layout, static_cast<int>(files[w] - m_parts)});
        sink(files[w], header.data(), header.size());
    }
    for (std::int64_t offset = 0; offset < length; offset += static_cast<std::int64_t>(stripe)) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(length - offset, stripe));
        for (std::size_t i = 0; i < sources.size(); ++i) {
            unsigned char *stripeOf = buffer[i];
            const std::size_t file = sources[i];
            // A data part shorter than the shard is coded as if padded with zeros.
            std::size_t have = n;
            std::int64_t at = offset;
            if (file < m_parts) {
                const std::int64_t size = layout.partSizes[file];
                have = static_cast<std::size_t>(std::clamp<std::int64_t>(size - offset, 0, n));
            } else {
                at += headerSize;
            }
            if (const int err = readFully(inputs[i], stripeOf, have, at))
                return {err, m_members[file].path};
            std::memset(stripeOf + have, 0, n - have);
        }
        coder.code(n, in.data(), out);
        for (std::size_t w = 0; w < files.size(); ++w) {
            const std::int64_t end = files[w] < m_parts ? layout.partSizes[files[w]] : length;
            if (offset < end)
                sink(files[w], out[w], static_cast<std::size_t>(std::min<std::int64_t>(end - offset, n)));
        }
    }
    for (fileio::File &input : inputs)
        static_cast<void>(input.close()); // only read
    return {};
}

int readRecoverySet(const std::string &listPath, std::optional<RecoverySet> &set)
{
    set.reset();
    fileio::File list;
    if (const int err = fileio::openForReading(listPath, list))
        return err;
    ChecksumReader reader(list);
    std::vector<ChecksumEntry> entries;
    for (;;) {
        ChecksumReader::Line kind{};
        ChecksumEntry entry;
        if (const int err = reader.next(kind, entry))
            return err;
        if (kind == ChecksumReader::Line::End)
            break;
        // Not a set's list: a line that is none, or more lines than a set can have.
        const std::int64_t most = kMaxRecoveryHeaderParts
            + kMaxRecoveryPerGroup * recoveryGroupCount(kMaxRecoveryHeaderParts, kMaxRecoveryPerGroup) + 1;
        if (kind == ChecksumReader::Line::Malformed || static_cast<std::int64_t>(entries.size()) >= most)
            return 0;
        entries.push_back(std::move(entry));
    }
    if (entries.size() < 2 || !entries.back().wholeFile || reader.incompleteSet())
        return 0;
    const ChecksumEntry whole = entries.back();
    entries.pop_back();
    // The recovery parts' lines end the parts' lines, numbered from 1.
    std::size_t first = entries.size();
    while (first > 0 && entries[first - 1].name.starts_with(whole.name + ".rec"))
        --first;
    for (std::size_t i = first; i < entries.size(); ++i)
        if (entries[i].name != recoveryPartName(whole.name, static_cast<int>(i - first + 1)))
            return 0;
    if (first == entries.size() || first == 0)
        return 0;
    const std::string folder = fileio::directoryPart(listPath);
    const auto member = [&](const ChecksumEntry &entry) {
        return RecoverySet::Member{entry.name, entry.name.starts_with('/') ? entry.name : folder + entry.name,
                                   entry.digest};
    };
    std::vector<RecoverySet::Member> parts;
    std::vector<RecoverySet::Member> recovery;
    for (std::size_t i = 0; i < entries.size(); ++i)
        (i < first ? parts : recovery).push_back(member(entries[i]));
    set.emplace(std::move(parts), std::move(recovery), whole.digest);
    return 0;
}

} // namespace lists
