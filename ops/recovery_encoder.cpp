// SPDX-License-Identifier: GPL-3.0-or-later
#include "recovery_encoder.h"

#include <isa-l/erasure_code.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>

namespace ops {

namespace {

// A recovery stripe read, updated and written back at a time: small enough to stay in the
// processor's cache between the three, and all the rows' together at most 16 MiB.
constexpr std::size_t kStripe = std::size_t{256} << 10;
constexpr std::size_t kStripesTotal = std::size_t{16} << 20;
// A recovery part's window mapped at a time: the windows of all the rows together at most 16 MiB.
constexpr std::size_t kWindow = std::size_t{8} << 20;
constexpr std::size_t kWindowsTotal = std::size_t{16} << 20;
// Read back at the end for the recovery parts' digests.
constexpr std::size_t kDigestBlock = std::size_t{1} << 20;
constexpr std::size_t kDigestThreads = 4;

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
    m_windows = std::vector<fileio::MappedRange>(static_cast<std::size_t>(m_layout.perGroup));
    m_window = std::max(stripe, std::min(kWindow, kWindowsTotal / static_cast<std::size_t>(m_layout.perGroup)));
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
    for (fileio::MappedRange &window : m_windows)
        window.unmap(); // of another group's recovery parts
    m_group = m_layout.groupOf(part);
    m_column = m_layout.columnOf(part);
    m_offset = 0;
}

unsigned char *RecoveryEncoder::destination(int row, std::int64_t at, std::size_t length, bool &mapped)
{
    const std::size_t index = static_cast<std::size_t>(m_group) * m_windows.size() + static_cast<std::size_t>(row);
    fileio::AtomicOutput &output = m_outputs[index];
    fileio::MappedRange &window = m_windows[static_cast<std::size_t>(row)];
    const std::int64_t fileSize = m_headerSize + m_layout.shardLength();
    mapped = true;
    if (window.isMapped() && at >= window.offset()
        && at + static_cast<std::int64_t>(length) <= window.offset() + static_cast<std::int64_t>(window.size()))
        return window.data() + (at - window.offset());
    // The group's first part writes pages still empty: written from a stripe they are not zeroed
    // first, as mapped ones would be.
    if (m_mapping && m_column > 0) {
        const auto n =
            static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(m_window), fileSize - at));
        const int err = window.map(output.file(), at, n);
        if (err == 0)
            return window.data();
        // Where the system maps no file, or cannot make its pages present, the stripes take over;
        // a page it could not give (EFAULT) is written through them, which says why.
        if (err == EINVAL || err == ENODEV || err == EOPNOTSUPP || err == EACCES)
            m_mapping = false;
        else if (err != EFAULT) {
            m_err = err;
            m_failed = output.target();
            return nullptr;
        }
    }
    mapped = false;
    unsigned char *stripe = m_stripes[static_cast<std::size_t>(row)].data();
    // The group's first part meets recovery parts still empty.
    std::size_t got = length;
    int err = 0;
    if (m_column == 0)
        std::memset(stripe, 0, length);
    else
        err = output.file().readAt(stripe, length, at, got);
    if (err == 0 && got < length)
        err = fileio::kChanged; // cut short by someone else meanwhile
    if (err != 0) {
        m_err = err;
        m_failed = output.target();
        return nullptr;
    }
    return stripe;
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
    std::unique_ptr<bool[]> mapped(new bool[static_cast<std::size_t>(rows)]);
    // ISA-L reads the source without changing it, but its signature takes no const.
    auto *source = static_cast<unsigned char *>(const_cast<void *>(data));
    for (std::size_t done = 0; done < n;) {
        const std::size_t length = std::min(m_stripes[0].size(), n - done);
        const std::int64_t at = m_headerSize + m_offset + static_cast<std::int64_t>(done);
        for (int r = 0; r < rows; ++r) {
            coding[r] = destination(r, at, length, mapped[r]);
            if (coding[r] == nullptr)
                return;
        }
        ec_encode_data_update(static_cast<int>(length), static_cast<int>(parts), rows, m_column, tables, source + done,
                              coding.get());
        for (int r = 0; r < rows; ++r) {
            fileio::AtomicOutput &output = m_outputs[first + static_cast<std::size_t>(r)];
            if (const int err = mapped[r] ? 0 : output.file().writeAt(coding[r], length, at)) {
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

int RecoveryEncoder::finishOne(std::size_t x, lists::RecoveryHeader header, unsigned char *block,
                               const fileio::CopyProgress *stop)
{
    fileio::File &file = m_outputs[x].file();
    header.index = static_cast<int>(x);
    const std::vector<unsigned char> bytes = lists::encodeRecoveryHeader(header);
    if (const int err = file.writeAt(bytes.data(), bytes.size(), 0))
        return err;
    const std::int64_t fileSize = m_headerSize + m_layout.shardLength();
    digest::Sha256 sha;
    // Hashed where it lies in the page cache; through a buffer where the system maps none.
    fileio::MappedRange window;
    for (std::int64_t at = 0; at < fileSize;) {
        if (stop != nullptr && stop->stopRequested())
            return kStopped;
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(kWindow, fileSize - at));
        if (window.map(file, at, want, fileio::MappedRange::Access::Read) == 0) {
            sha.update(window.data(), want);
            at += static_cast<std::int64_t>(want);
            continue;
        }
        const std::size_t chunk = std::min(want, kDigestBlock);
        std::size_t got = 0;
        if (const int err = file.readAt(block, chunk, at, got))
            return err;
        if (got < chunk)
            return fileio::kChanged;
        sha.update(block, got);
        at += static_cast<std::int64_t>(got);
    }
    m_digests[x] = sha.finish();
    return 0;
}

int RecoveryEncoder::finish(const digest::Sha256Digest &identity, std::string &failed, const fileio::CopyProgress *stop)
{
    for (fileio::MappedRange &window : m_windows)
        window.unmap();
    if (m_err != 0)
        return failure(failed);
    lists::RecoveryHeader header{m_layout, 0};
    header.layout.identity = identity;
    m_digests.assign(m_outputs.size(), {});
    // Each is read back from the page cache for its digest, on the processors there are.
    std::vector<int> errors(m_outputs.size(), 0);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        std::unique_ptr<unsigned char[]> block(new unsigned char[kDigestBlock]);
        for (std::size_t x = next++; x < m_outputs.size(); x = next++)
            errors[x] = finishOne(x, header, block.get(), stop);
    };
    std::vector<std::thread> helpers;
    const std::size_t threads = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kDigestThreads);
    for (std::size_t i = 1; i < std::min(threads, m_outputs.size()); ++i) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error &) {
            break; // this thread does the rest
        }
    }
    work();
    for (std::thread &helper : helpers)
        helper.join();
    for (std::size_t x = 0; x < errors.size(); ++x) {
        if (errors[x] != 0) {
            failed = m_outputs[x].target();
            return errors[x];
        }
    }
    failed.clear();
    return 0;
}

} // namespace ops
