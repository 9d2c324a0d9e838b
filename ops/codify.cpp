// SPDX-License-Identifier: GPL-3.0-or-later
#include "codify.h"

#include "keystream.h"
#include "progress.h"

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

// Data and key are worked in blocks of this size; with the key's cache that stays under kMaxBuffer.
constexpr std::size_t kBlock = std::size_t{256} << 10;
static_assert(2 * kBlock + KeyStream::kCacheLimit <= fileio::kMaxBuffer);

// How much of the result is handed to the device at a time while it is written.
constexpr std::int64_t kWritebackStride = std::int64_t{8} << 20;

void check(int err)
{
    if (err != 0)
        fileio::failErrno(err);
}

// One file in two roles would be emptied or read while it is rewritten: refuse it, whatever
// names lead to it.
void refuseNames(const std::string &dataPath, const std::string &keyPath)
{
    if (!fileio::fileExists(dataPath) || !fileio::fileExists(keyPath) || dataPath == keyPath)
        fileio::reportError(fileio::kInvalidFileName);
    const std::optional<fileio::FileId> data = fileio::fileId(dataPath);
    const std::optional<fileio::FileId> key = fileio::fileId(keyPath);
    if (!data || !key || data == key)
        fileio::reportError(fileio::kInvalidFileName);
    const std::optional<fileio::FileId> buffer = fileio::fileId(kBufferName);
    if (buffer && (buffer == data || buffer == key))
        fileio::reportError(fileio::kInvalidFileName);
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

// Writes the result of the whole data file to buffer; returns how many bytes that was.
std::int64_t transform(fileio::File &data, fileio::File &key, fileio::File &buffer, CodifyDirection direction,
                       ProgressSink &progress)
{
    KeyStream keys(key);
    std::unique_ptr<unsigned char[]> dataBlock(new unsigned char[kBlock]);
    std::unique_ptr<unsigned char[]> keyBlock(new unsigned char[kBlock]);
    // The result is flushed before it replaces the data file; writing it out while it is made
    // keeps that flush short.
    std::int64_t written = 0;
    std::int64_t flushed = 0;
    for (;;) {
        std::size_t got = 0;
        check(data.read(dataBlock.get(), kBlock, got));
        if (got == 0)
            return written;
        keys.fill(keyBlock.get(), got);
        combine(dataBlock.get(), keyBlock.get(), got, direction);
        check(buffer.write(dataBlock.get(), got));
        written += static_cast<std::int64_t>(got);
        if (written - flushed >= kWritebackStride) {
            buffer.startWriteback(flushed, written - flushed);
            flushed = written;
        }
        progress.step(static_cast<std::int64_t>(got));
    }
}

// Flushes a finished result to the device, so that the rename never puts an empty file in the
// data file's place after a crash.
void finish(fileio::File &result, const fileio::Ownership &from)
{
    check(result.takeOwnership(from));
    check(result.sync());
    check(result.close());
}

// The current directory lies on another file system than the data file: the result is copied
// beside the data file first, so the data file is still replaced in one step.
void replaceAcross(const std::string &target, const fileio::Ownership &from)
{
    fileio::File in;
    check(fileio::openForReading(kBufferName, in));
    std::int64_t size = 0;
    check(in.size(size));

    fileio::File side;
    std::string sidePath;
    check(fileio::createTemporaryFile(fileio::directoryPart(target), sidePath, side));
    const auto abandon = [&](const fileio::IoError &error) {
        side.close();
        fileio::removeFile(sidePath);
        fileio::failIo(error);
    };
    const fileio::CopyResult copied = fileio::copyBytes(in, 0, side, size);
    if (copied.status == fileio::CopyResult::Status::EndOfInput)
        abandon(fileio::IoError::shortRead());
    if (!copied.ok())
        abandon(fileio::IoError::fromErrno(copied.err));
    if (const int err = side.takeOwnership(from))
        abandon(fileio::IoError::fromErrno(err));
    if (const int err = side.sync())
        abandon(fileio::IoError::fromErrno(err));
    if (const int err = side.close())
        abandon(fileio::IoError::fromErrno(err));
    if (const int err = fileio::renameFile(sidePath, target))
        abandon(fileio::IoError::fromErrno(err));
    in.close();
    fileio::removeFile(kBufferName);
}

// Puts the result in the data file's place in one rename: the data file's name never stands
// empty, and a failed replacement leaves the data file as it was.
void replaceData(const std::string &target, const fileio::Ownership &from)
{
    const int err = fileio::renameFile(kBufferName, target);
    if (err == EXDEV)
        replaceAcross(target, from);
    else
        check(err);
}

} // namespace

void Codify(const std::string &dataPath, const std::string &keyPath, CodifyDirection direction,
            ProgressSink &progress)
{
    refuseNames(dataPath, keyPath);

    fileio::File data;
    check(fileio::openForReadWrite(dataPath, data));
    fileio::File key;
    check(fileio::openForReadWrite(keyPath, key));
    // The rename goes onto the link's target, so a data file reached through a link keeps its link.
    std::string target;
    check(fileio::resolvePath(dataPath, target));
    std::int64_t size = 0;
    check(data.size(size));
    fileio::Ownership ownership;
    check(data.ownership(ownership));

    // A link or hard link named "buff.vq" must not receive the result, nor be renamed over the data.
    fileio::removeFile(kBufferName);
    const std::optional<fileio::FileId> dataId = fileio::fileId(data);
    const std::optional<fileio::FileId> keyId = fileio::fileId(key);
    if (!dataId || !keyId)
        fileio::failErrno(EIO);
    fileio::File buffer;
    const int created = fileio::createFile(kBufferName, buffer, {*dataId, *keyId}, 0600);
    if (created == fileio::kKeptFile)
        fileio::reportError(fileio::kInvalidFileName);
    check(created);

    progress.setMaximum(size);
    // A data file that ends before its size (cut short meanwhile, or a faulty device) must not
    // be replaced by a shorter result.
    if (transform(data, key, buffer, direction, progress) < size)
        fileio::failIo(fileio::IoError::shortRead());
    check(data.close());
    check(key.close());
    finish(buffer, ownership);

    replaceData(target, ownership);
    progress.reset();
}

} // namespace ops
