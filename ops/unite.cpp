// SPDX-License-Identifier: GPL-3.0-or-later
#include "unite.h"

#include "progress.h"

#include "digest/block_hashers.h"
#include "digest/hashed_copy.h"
#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/file.h"

#include <optional>

namespace ops {

namespace {

// Every failure of a join ends the same way; the files still open are closed first.
[[noreturn]] void giveUp(fileio::File &output, fileio::File *input = nullptr)
{
    if (input)
        input->close();
    output.close();
    fileio::reportError(fileio::kInvalidFileName);
}

// "*" and "?" never make a usable output name: they are the untouched "*.*" placeholder.
bool wildcardName(const std::string &output)
{
    return output.find_first_of("*?") != std::string::npos;
}

// The inputs that exist now: the output may be none of them, or it would be emptied before
// that input is read.
fileio::FileIds inputIds(const std::vector<std::string> &inputs)
{
    fileio::FileIds ids;
    for (const std::string &input : inputs) {
        if (const std::optional<fileio::FileId> id = fileio::fileId(input))
            ids.insert(*id);
    }
    return ids;
}

// An output name that leads to an input, or to something that is not a regular file: a FIFO
// would wait for a reader, a device or a folder cannot hold the join.
bool refusedOutput(const std::string &output, const fileio::FileIds &inputs)
{
    if (wildcardName(output))
        return true;
    const std::optional<fileio::FileId> id = fileio::fileId(output);
    return id && (inputs.contains(*id) || !fileio::fileExists(output));
}

// The missing folders along the output's path; a failure shows when the output is created.
// Returns the folders it made.
std::vector<std::string> makeOutputFolder(const std::string &output)
{
    std::vector<std::string> made;
    std::string folder = fileio::directoryPart(output);
    folder.pop_back();
    if (!folder.empty())
        fileio::makeDirectories(folder, &made);
    return made;
}

// The digests of a checked join: the input's, restarted for every input, and the output's.
constexpr std::size_t kInputDigest = 0;
constexpr std::size_t kOutputDigest = 1;

// Runs one step of the check; when it stops the join, the output goes before the reason is told.
template <typename Step>
void checkStep(fileio::File &output, const std::string &outputPath, Step step)
{
    try {
        step();
    } catch (...) {
        output.close();
        fileio::removeFile(outputPath);
        throw;
    }
}

void appendInput(const std::string &path, fileio::File &output, const std::optional<fileio::FileId> &outputId,
                 ProgressSink &progress, digest::BlockHashers *hashers)
{
    // Only regular files: opening a FIFO would wait for a writer forever.
    fileio::File input;
    if (!fileio::fileExists(path) || fileio::openForReading(path, input) != 0)
        giveUp(output);
    // An input that became the output after the check (created by this very join).
    if (!outputId || fileio::fileId(input) == outputId)
        giveUp(output, &input);

    std::int64_t size = 0;
    if (input.size(size) != 0)
        giveUp(output, &input);
    const fileio::CopyResult copied = hashers ? digest::copyHashed(input, 0, &output, size, *hashers, &progress)
                                              : fileio::copyBytes(input, 0, output, size, &progress);
    if (!copied.ok())
        giveUp(output, &input);
    progress.step();
    input.close();
}

} // namespace

void Unite(const std::vector<std::string> &inputs, const std::string &output, ProgressSink &progress,
           JoinCheck *check)
{
    const fileio::FileIds inputIdentities = inputIds(inputs);
    if (refusedOutput(output, inputIdentities))
        fileio::reportError(fileio::kInvalidFileName);

    std::vector<std::string> madeFolders;
    if (!fileio::directoryPart(output).empty())
        madeFolders = makeOutputFolder(output);

    // The names checked above may lead elsewhere once the folders exist: the opened file decides,
    // and an input it turns out to be is refused with nothing left changed.
    fileio::File out;
    if (const int err = fileio::createFile(output, out, inputIdentities)) {
        if (err == fileio::kKeptFile) {
            for (auto folder = madeFolders.rbegin(); folder != madeFolders.rend(); ++folder)
                fileio::removeDirectory(*folder);
        }
        fileio::reportError(fileio::kInvalidFileName);
    }
    if (!fileio::isRegularFile(out))
        giveUp(out);
    const std::optional<fileio::FileId> outputId = fileio::fileId(out);

    progress.setMaximum(static_cast<std::int64_t>(inputs.size()));
    std::optional<digest::BlockHashers> hashers;
    if (check)
        hashers.emplace(2);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        appendInput(inputs[i], out, outputId, progress, hashers ? &*hashers : nullptr);
        if (check)
            checkStep(out, output, [&] { check->input(i, hashers->finish(kInputDigest)); });
    }

    if (out.close() != 0)
        fileio::reportError(fileio::kInvalidFileName);
    if (check)
        checkStep(out, output, [&] { check->output(hashers->finish(kOutputDigest)); });
    progress.reset();
}

} // namespace ops
