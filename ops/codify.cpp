// SPDX-License-Identifier: GPL-3.0-or-later
#include "codify.h"

#include "keystream.h"
#include "progress.h"
#include "report_error.h"

#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/io_error.h"

#include <cerrno>
#include <memory>
#include <optional>

namespace ops {

namespace {

constexpr const char *kBufferName = "buff.vq";

constexpr const char *kSameFile = "the data file and the key file are one file";
constexpr const char *kHardLinked = "it has other names (hard links), which would keep the old bytes";
constexpr const char *kBufferThere =
    "a buff.vq is there already, perhaps the result of a run that was cut short: it is left alone";

// Data and key are worked in blocks of this size; with the key's cache that stays under kMaxBuffer.
constexpr std::size_t kBlock = std::size_t{256} << 10;
static_assert(2 * kBlock + KeyStream::kCacheLimit <= fileio::kMaxBuffer);

// How much of the result is handed to the device at a time while it is written.
constexpr std::int64_t kWritebackStride = std::int64_t{8} << 20;

void check(int err, const std::string &path)
{
    if (err != 0)
        fileio::failErrno(err, path);
}

// One file in two roles would be emptied or read while it is rewritten: refuse it, whatever
// names lead to it.
void refuseNames(const std::string &dataPath, const std::string &keyPath)
{
    if (!fileio::fileExists(dataPath))
        reportNoFile(dataPath);
    if (!fileio::fileExists(keyPath))
        reportNoFile(keyPath);
    if (dataPath == keyPath || fileio::fileId(dataPath) == fileio::fileId(keyPath))
        reportError(kInvalidFileName, keyPath, 0, kSameFile);
}

// Kept as one plain loop over two arrays so that the compiler vectorises it.
void combine(unsigned char *data, const unsigned char *key, std::size_t n, CodifyDirection direction)
{
    if (direction == CodifyDirection::Add) {
        for (std::size_t i = 0; i < n; ++i)
            data[i] = static_cast<unsigned char>(data[i] + key[i]);
    } else {
        for (std::size_t i = 0; i < n; ++i)
            data[i] = static_cast<unsigned char>(data[i] - key[i]);
    }
}

// The result's temporary file "buff.vq", beside the data file so that the result takes the data
// file's place in one rename. It is made afresh, never over a file that is there, and removed
// again unless it took the data file's place.
class ResultBuffer {
public:
    explicit ResultBuffer(const std::string &folder) : m_path(folder + kBufferName)
    {
        const int err = fileio::createNewFile(m_path, m_file, 0600);
        if (err == EEXIST)
            reportError(kInvalidFileName, m_path, EEXIST, kBufferThere);
        check(err, m_path);
        m_made = true;
    }
    ~ResultBuffer()
    {
        if (m_file.isOpen())
            static_cast<void>(m_file.close());
        if (m_made)
            static_cast<void>(fileio::removeFile(m_path));
    }
    ResultBuffer(const ResultBuffer &) = delete;
    ResultBuffer &operator=(const ResultBuffer &) = delete;

    fileio::File &file() { return m_file; }
    const std::string &path() const { return m_path; }

    // The result keeps what the data file had beside its bytes: extended attributes (access
    // control lists among them), then owner, group and permission bits.
    void keepAttributesOf(const fileio::File &data, const fileio::Ownership &from)
    {
        m_file.copyAttributesFrom(data);
        check(m_file.takeOwnership(from), m_path);
    }

    // Flushes the result to the device, so that the rename never puts an empty file in the data
    // file's place after a crash, and puts it there.
    void replace(const std::string &target)
    {
        check(m_file.sync(), m_path);
        check(m_file.close(), m_path);
        check(fileio::renameFile(m_path, target), target);
        m_made = false;
    }

private:
    std::string m_path;
    fileio::File m_file;
    bool m_made = false;
};

// Writes the result of the whole data file to the buffer; returns how many bytes that was.
std::int64_t transform(fileio::File &data, const std::string &dataPath, fileio::File &key, const std::string &keyPath,
                       ResultBuffer &buffer, CodifyDirection direction, ProgressSink &progress)
{
    KeyStream keys(key, keyPath);
    std::unique_ptr<unsigned char[]> dataBlock(new unsigned char[kBlock]);
    std::unique_ptr<unsigned char[]> keyBlock(new unsigned char[kBlock]);
    // The result is flushed before it replaces the data file; writing it out while it is made
    // keeps that flush short.
    std::int64_t written = 0;
    std::int64_t flushed = 0;
    for (;;) {
        if (progress.stopRequested())
            throw Stopped();
        std::size_t got = 0;
        check(data.read(dataBlock.get(), kBlock, got), dataPath);
        if (got == 0)
            return written;
        keys.fill(keyBlock.get(), got);
        combine(dataBlock.get(), keyBlock.get(), got, direction);
        check(buffer.file().write(dataBlock.get(), got), buffer.path());
        written += static_cast<std::int64_t>(got);
        if (written - flushed >= kWritebackStride) {
            buffer.file().startWriteback(flushed, written - flushed);
            flushed = written;
        }
        progress.step(static_cast<std::int64_t>(got));
    }
}

} // namespace

void Codify(const std::string &dataPath, const std::string &keyPath, CodifyDirection direction, ProgressSink &progress)
{
    refuseNames(dataPath, keyPath);

    fileio::File data;
    check(fileio::openForReadWrite(dataPath, data), dataPath);
    // The key is only read: a read-only key serves as well.
    fileio::File key;
    check(fileio::openForReading(keyPath, key), keyPath);
    if (fileio::fileId(data) == fileio::fileId(key))
        reportError(kInvalidFileName, keyPath, 0, kSameFile);
    fileio::FileState state;
    check(data.state(state), dataPath);
    if (state.links > 1)
        reportError(kInvalidFileName, dataPath, 0, kHardLinked);
    // The rename goes onto the link's target, so a data file reached through a link keeps its link.
    std::string target;
    check(fileio::resolvePath(dataPath, target), dataPath);
    fileio::Ownership ownership;
    check(data.ownership(ownership), dataPath);

    ResultBuffer buffer(fileio::directoryPart(target));
    progress.setMaximum(state.size);
    // A data file that ends before its size (cut short meanwhile, or a faulty device) must not
    // be replaced by a shorter result.
    if (transform(data, dataPath, key, keyPath, buffer, direction, progress) < state.size)
        fileio::failIo(fileio::IoError::shortRead(), dataPath);
    buffer.keepAttributesOf(data, ownership);
    check(data.close(), dataPath);
    check(key.close(), keyPath);
    buffer.replace(target);
    progress.reset();
}

} // namespace ops
