// SPDX-License-Identifier: GPL-3.0-or-later
#include "unite.h"

#include "progress.h"
#include "report_error.h"

#include "digest/block_hashers.h"
#include "digest/hashed_copy.h"
#include "fileio/atomic_output.h"
#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/file.h"

#include <cerrno>
#include <optional>

namespace ops {

namespace {

constexpr const char *kPlaceholder = "a name with * or ? is the unchanged placeholder, not a file";
constexpr const char *kIsAnInput = "it is one of the files being joined, or a list they come from";
constexpr const char *kNotAFile = "not a regular file";

// "*" and "?" never make a usable output name: they are the untouched "*.*" placeholder.
bool wildcardName(const std::string &output)
{
    return output.find_first_of("*?") != std::string::npos;
}

[[noreturn]] void refuse(const std::string &path, int err, const std::string &why = {})
{
    reportError(kInvalidFileName, path, err, why);
}

// Every input must be there and readable before anything is made; their identities are what the
// output may not be.
fileio::FileIds checkInputs(const std::vector<std::string> &inputs)
{
    fileio::FileIds ids;
    for (const std::string &input : inputs) {
        // Only regular files: opening a FIFO would wait for a writer forever.
        if (!fileio::fileExists(input))
            reportNoFile(input);
        fileio::File file;
        if (const int err = fileio::openForReading(input, file))
            refuse(input, err);
        if (const std::optional<fileio::FileId> id = fileio::fileId(file))
            ids.insert(*id);
        static_cast<void>(file.close()); // only read
    }
    return ids;
}

// The folders a join made along its output's path, taken away again unless the join succeeds.
class MadeFolders {
public:
    explicit MadeFolders(const std::string &output)
    {
        std::string folder = fileio::directoryPart(output);
        if (folder.empty())
            return;
        folder.pop_back();
        // A folder that cannot be made shows when the output is created in it.
        if (!folder.empty())
            static_cast<void>(fileio::makeDirectories(folder, &m_made));
    }
    ~MadeFolders()
    {
        for (auto folder = m_made.rbegin(); folder != m_made.rend(); ++folder)
            static_cast<void>(fileio::removeDirectory(*folder));
    }
    MadeFolders(const MadeFolders &) = delete;
    MadeFolders &operator=(const MadeFolders &) = delete;

    void keep() { m_made.clear(); }

private:
    std::vector<std::string> m_made;
};

void appendInput(const std::string &path, fileio::AtomicOutput &output, ProgressSink &progress,
                 digest::BlockHashers *hashers)
{
    fileio::File input;
    if (const int err = fileio::openForReading(path, input))
        refuse(path, err);
    std::int64_t size = 0;
    if (const int err = input.size(size))
        refuse(path, err);
    const fileio::CopyResult copied = hashers ? digest::copyHashed(input, 0, &output.file(), size, *hashers, &progress)
                                              : fileio::copyBytes(input, 0, output.file(), size, &progress);
    switch (copied.status) {
    case fileio::CopyResult::Status::Done:
        break;
    case fileio::CopyResult::Status::Stopped:
        throw Stopped();
    case fileio::CopyResult::Status::WriteFailed:
        refuse(output.target(), copied.err);
    case fileio::CopyResult::Status::ReadFailed:
    case fileio::CopyResult::Status::EndOfInput:
        refuse(path, copied.err, copied.err ? "" : "it ended before its size");
    }
    progress.step();
    static_cast<void>(input.close()); // only read
}

} // namespace

void Unite(const std::vector<std::string> &inputs, const std::string &output, ProgressSink &progress, JoinCheck *check,
           const fileio::FileIds &alsoKeep)
{
    if (wildcardName(output))
        refuse(output, 0, kPlaceholder);
    fileio::FileIds keep = checkInputs(inputs);
    keep.insert(alsoKeep.begin(), alsoKeep.end());

    MadeFolders folders(output);
    // The name may lead to an input only once its folders exist: the output decides on the file
    // the name leads to, and again just before it takes the name.
    fileio::AtomicOutput out;
    if (const int err = out.open(output, keep)) {
        if (err == fileio::kKeptFile)
            refuse(output, 0, kIsAnInput);
        refuse(output, err == fileio::kNotRegularFile ? 0 : err, err == fileio::kNotRegularFile ? kNotAFile : "");
    }

    progress.setMaximum(static_cast<std::int64_t>(inputs.size()));
    std::optional<digest::BlockHashers> hashers;
    if (check)
        hashers.emplace(1);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (progress.stopRequested())
            throw Stopped();
        appendInput(inputs[i], out, progress, hashers ? &*hashers : nullptr);
        if (check)
            check->input(i, hashers->finish(0));
    }

    if (const int err = out.finish(keep))
        refuse(output, err == fileio::kKeptFile ? 0 : err, err == fileio::kKeptFile ? kIsAnInput : "");
    folders.keep();
    progress.reset();
}

} // namespace ops
