// SPDX-License-Identifier: GPL-3.0-or-later
#include "recovery_encoder.h"

#include <isa-l/erasure_code.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace ops {

namespace {

// A recovery stripe read, updated and written back at a time: small enough to stay in the
// processor's cache between the three, and all the rows' together at most 16 MiB.
constexpr std::size_t kStripe = std::size_t{256} << 10;
constexpr std::size_t kStripesTotal = std::size_t{16} << 20;
// Read back at the end for the recovery parts' digests.
constexpr std::size_t kDigestBlock = std::size_t{1} << 20;

// ISA-L's tables for the N coding rows of a group of `parts`: rows parts .. parts + N - 1 of
// its Cauchy matrix.
std::vector<unsigned char> codingTables(std::int64_t parts, int perGroup)
{
    if (parts < 1)
        return {};
    const auto k = static_cast<int>(parts);
    std::vector<unsigned char> matrix(static_cast<std::size_t>((k + perGroup) * k));
    gf_gen_cauchy1_matrix(matrix.data(), k + perGroup, k);
    std::vector<unsigned char> tables(static_cast<std::size_t>(32 * k * perGroup));
    ec_init_tables(k, perGroup, matrix.data() + static_cast<std::size_t>(k * k), tables.data());
    return tables;
}

} // namespace

RecoveryEncoder::RecoveryEncoder(lists::RecoveryLayout layout) : m_layout(std::move(layout))
{
    m_headerSize = lists::RecoveryHeader{m_layout, 0}.headerSize();
    m_largerGroup = m_layout.partsInGroup(0);
    const std::int64_t smaller = m_layout.partsInGroup(m_layout.groups - 1);
    m_tables[0] = codingTables(m_largerGroup, m_layout.perGroup);
    if (smaller != m_largerGroup)
        m_tables[1] = codingTables(smaller, m_layout.perGroup);
    const std::size_t stripe = std::min({kStripe, kStripesTotal / static_cast<std::size_t>(m_layout.perGroup),
                                         static_cast<std::size_t>(std::max<std::int64_t>(m_layout.shardLength(), 1))});
    m_stripes.assign(static_cast<std::size_t>(m_layout.perGroup), std::vector<unsigned char>(stripe));
}

RecoveryEncoder::~RecoveryEncoder() = default;

int RecoveryEncoder::open(const std::vector<std::string> &paths, fileio::FileIds &keep,
                          fileio::AtomicOutput::Existing existing, std::string &failed)
{
    const std::int64_t fileSize = m_headerSize + m_layout.shardLength();
    for (const std::string &path : paths) {
        fileio::AtomicOutput &output = m_outputs.emplace_back();
        int err = output.open(path, keep, 0666, existing);
        if (err == 0)
            err = output.file().setSize(fileSize);
        if (err != 0) {
            failed = path;
            return err;
        }
        if (const std::optional<fileio::FileId> id = output.id())
            keep.insert(*id);
    }
    return 0;
}

void RecoveryEncoder::beginPart(std::int64_t part)
{
    m_group = m_layout.groupOf(part);
    m_column = m_layout.columnOf(part);
    m_offset = 0;
}

void RecoveryEncoder::take(const void *data, std::size_t n)
{
    if (m_err != 0)
        return;
    const std::int64_t parts = m_layout.partsInGroup(m_group);
    unsigned char *tables = (parts == m_largerGroup ? m_tables[0] : m_tables[1]).data();
    const int rows = m_layout.perGroup;
    const std::size_t first = static_cast<std::size_t>(m_group) * static_cast<std::size_t>(rows);
    std::unique_ptr<unsigned char *[]> coding(new unsigned char *[static_cast<std::size_t>(rows)]);
    for (int r = 0; r < rows; ++r)
        coding[r] = m_stripes[static_cast<std::size_t>(r)].data();
    // ISA-L reads the source without changing it, but its signature takes no const.
    auto *source = static_cast<unsigned char *>(const_cast<void *>(data));
    for (std::size_t done = 0; done < n;) {
        const std::size_t length = std::min(m_stripes[0].size(), n - done);
        const std::int64_t at = m_headerSize + m_offset + static_cast<std::int64_t>(done);
        for (int r = 0; r < rows; ++r) {
            fileio::File &file = m_outputs[first + static_cast<std::size_t>(r)].file();
            // The group's first part meets recovery parts still empty.
            std::size_t got = length;
            int err = 0;
            if (m_column == 0)
                std::memset(coding[r], 0, length);
            else
                err = file.readAt(coding[r], length, at, got);
            if (err == 0 && got < length)
                err = fileio::kChanged; // cut short by someone else meanwhile
            if (err != 0) {
                m_err = err;
                m_failed = m_outputs[first + static_cast<std::size_t>(r)].target();
                return;
            }
        }
        ec_encode_data_update(static_cast<int>(length), static_cast<int>(parts), rows, m_column, tables, source + done,
                              coding.get());
        for (int r = 0; r < rows; ++r) {
            fileio::AtomicOutput &output = m_outputs[first + static_cast<std::size_t>(r)];
            if (const int err = output.file().writeAt(coding[r], length, at)) {
                m_err = err;
                m_failed = output.target();
                return;
            }
        }
        done += length;
    }
    m_offset += static_cast<std::int64_t>(n);
}

int RecoveryEncoder::failure(std::string &failed) const
{
    failed = m_failed;
    return m_err;
}

int RecoveryEncoder::finish(const digest::Sha256Digest &identity, std::string &failed)
{
    if (m_err != 0)
        return failure(failed);
    lists::RecoveryHeader header{m_layout, 0};
    header.layout.identity = identity;
    std::unique_ptr<unsigned char[]> block(new unsigned char[kDigestBlock]);
    const std::int64_t fileSize = m_headerSize + m_layout.shardLength();
    m_digests.clear();
    for (std::size_t x = 0; x < m_outputs.size(); ++x) {
        fileio::File &file = m_outputs[x].file();
        failed = m_outputs[x].target();
        header.index = static_cast<int>(x);
        const std::vector<unsigned char> bytes = lists::encodeRecoveryHeader(header);
        if (const int err = file.writeAt(bytes.data(), bytes.size(), 0))
            return err;
        digest::Sha256 sha;
        for (std::int64_t at = 0; at < fileSize;) {
            const auto want = static_cast<std::size_t>(std::min<std::int64_t>(kDigestBlock, fileSize - at));
            std::size_t got = 0;
            if (const int err = file.readAt(block.get(), want, at, got))
                return err;
            if (got < want)
                return fileio::kChanged;
            sha.update(block.get(), got);
            at += static_cast<std::int64_t>(got);
        }
        m_digests.push_back(sha.finish());
    }
    failed.clear();
    return 0;
}

} // namespace ops
