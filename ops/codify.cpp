// SPDX-License-Identifier: GPL-3.0-or-later
#include "codify.h"

#include "keystream.h"
#include "progress.h"
#include "report_error.h"

#include "fileio/atomic_output.h"
#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/io_error.h"

#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace ops {

namespace {

// The result's temporary file: beside the data file, so that the result takes the data file's
// place in one rename. It is made afresh, never over a file that is there, and removed again
// unless it took the data file's place.
constexpr const char *kBufferName = "buff.vq";

constexpr const char *kSameFile = "the data file and the key file are one file";
constexpr const char *kHardLinked = "it has other names (hard links), which would keep the old bytes";
constexpr const char *kBufferThere =
    "a buff.vq is there already, perhaps the result of a run that was cut short: it is left alone";

// Data and key are worked in blocks of this size, two data blocks in turn; with the key's cache
// that stays under kMaxBuffer.
constexpr std::size_t kBlock = std::size_t{256} << 10;
static_assert(3 * kBlock + KeyStream::kCacheLimit <= fileio::kMaxBuffer);

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

// An input as it was opened, so that a change while it is read fails the run.
struct Input {
    fileio::File file;
    fileio::FileState atStart;
    fileio::FileId id{};
};

Input openInput(const std::string &path, bool forWriting)
{
    Input input;
    const int err = forWriting ? fileio::openForReadWrite(path, input.file) : fileio::openForReading(path, input.file);
    if (err == fileio::kNotRegularFile)
        reportError(kInvalidFileName, path, 0, fileio::errorText(err));
    check(err, path);
    check(input.file.state(input.atStart), path);
    if (const std::optional<fileio::FileId> id = fileio::fileId(input.file))
        input.id = *id;
    return input;
}

void checkUnchanged(const Input &input, const std::string &path)
{
    fileio::FileState now;
    check(input.file.state(now), path);
    if (!now.sameContentAs(input.atStart))
        fileio::failErrno(fileio::kChanged, path);
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

// The result in "buff.vq" beside the file the data name leads to, which it is to replace: that
// file and no other, and never the key.
fileio::AtomicOutput openResult(const std::string &dataPath, const std::string &keyPath, const Input &data,
                                const Input &key)
{
    fileio::AtomicOutput result;
    const int err = result.open(dataPath, {key.id}, 0600, fileio::AtomicOutput::Existing::Replace, kBufferName);
    if (err == EEXIST)
        reportError(kInvalidFileName, fileio::directoryPart(result.target()) + kBufferName, EEXIST, kBufferThere);
    if (err == fileio::kKeptFile)
        reportError(kInvalidFileName, keyPath, 0, kSameFile);
    check(err, dataPath);
    result.replaceOnly(data.id);
    return result;
}

// Hands the result to the device on a thread of its own as it is written, and lets the kernel
// drop the data file's pages as they are read: starting the writeback costs the caller's thread
// as much as a tenth of the run, and the pages of a cached data file would otherwise all be
// dropped at once when the result takes its place. On a thread of its own both overlap the
// reading and writing of the next blocks. Where no thread can start, the caller's thread does it.
class Writeback {
public:
    Writeback(fileio::File &result, fileio::File &data) : m_result(result), m_data(data)
    {
        try {
            m_thread = std::thread([this] { work(); });
        } catch (const std::system_error &) {
        }
    }
    ~Writeback()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }
    Writeback(const Writeback &) = delete;
    Writeback &operator=(const Writeback &) = delete;

    // The result is written up to `end`: what is not yet on its way goes, a stride at a time.
    void written(std::int64_t end)
    {
        if (end - m_handed < kWritebackStride)
            return;
        if (!m_thread.joinable()) {
            hand(m_handed, end);
        } else {
            const std::lock_guard lock(m_mutex);
            m_end = end;
        }
        m_handed = end;
        m_changed.notify_all();
    }

private:
    void hand(std::int64_t from, std::int64_t to)
    {
        m_result.startWriteback(from, to - from);
        m_data.dropCached(from, to - from);
    }

    void work()
    {
        std::int64_t started = 0;
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [&] { return m_stopping || m_end > started; });
            if (m_stopping)
                return;
            const std::int64_t end = m_end;
            lock.unlock();
            hand(started, end);
            started = end;
            lock.lock();
        }
    }

    fileio::File &m_result;
    fileio::File &m_data;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::int64_t m_end = 0;    // written so far, as the thread has heard
    std::int64_t m_handed = 0; // what the caller has handed on
    bool m_stopping = false;
    std::thread m_thread;
};

// Writes the result of the whole data file to the output; returns how many bytes that was.
std::int64_t transform(Input &data, const std::string &dataPath, Input &key, const std::string &keyPath,
                       fileio::File &result, CodifyDirection direction, ProgressSink &progress)
{
    KeyStream keys(key.file, keyPath);
    std::unique_ptr<unsigned char[]> dataBlocks[2] = {std::make_unique<unsigned char[]>(kBlock),
                                                      std::make_unique<unsigned char[]>(kBlock)};
    std::unique_ptr<unsigned char[]> keyBlock(new unsigned char[kBlock]);
    // The result is flushed before it replaces the data file; writing it out while it is made
    // keeps that flush short.
    Writeback writeback(result, data.file);
    std::int64_t written = 0;
    for (int turn = 0;; turn ^= 1) {
        if (progress.stopRequested())
            throw Stopped();
        unsigned char *block = dataBlocks[turn].get();
        std::size_t got = 0;
        check(data.file.read(block, kBlock, got), dataPath);
        if (got == 0)
            return written;
        keys.fill(keyBlock.get(), got);
        combine(block, keyBlock.get(), got, direction);
        check(result.write(block, got), kBufferName);
        written += static_cast<std::int64_t>(got);
        writeback.written(written);
        progress.step(static_cast<std::int64_t>(got));
    }
}

} // namespace

void Codify(const std::string &dataPath, const std::string &keyPath, CodifyDirection direction, ProgressSink &progress)
{
    refuseNames(dataPath, keyPath);

    Input data = openInput(dataPath, true);
    // The key is only read: a read-only key serves as well.
    Input key = openInput(keyPath, false);
    if (data.id == key.id)
        reportError(kInvalidFileName, keyPath, 0, kSameFile);
    if (data.atStart.links > 1)
        reportError(kInvalidFileName, dataPath, 0, kHardLinked);

    fileio::AtomicOutput result = openResult(dataPath, keyPath, data, key);
    const std::string buffer = fileio::directoryPart(result.target()) + kBufferName;
    progress.setMaximum(data.atStart.size);
    progress.setByteTotal(data.atStart.size);
    // A data file that ends before its size (cut short meanwhile, or a faulty device) must not
    // be replaced by a shorter result.
    if (transform(data, dataPath, key, keyPath, result.file(), direction, progress) < data.atStart.size)
        fileio::failErrno(fileio::kChanged, dataPath);
    // Flushed first, so that a crash never puts an empty file in the data file's place.
    check(result.flush(), buffer);
    checkUnchanged(data, dataPath);
    checkUnchanged(key, keyPath);
    // The point of no return: once the result takes the data file's place, a stop no longer undoes
    // the run.
    if (progress.stopRequested())
        throw Stopped();
    check(data.file.close(), dataPath);
    check(key.file.close(), keyPath);
    check(result.finish({key.id}), dataPath);
    progress.reset();
}

} // namespace ops
