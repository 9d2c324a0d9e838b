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
#include "fileio/stream_copy.h"

#include <cerrno>
#include <optional>

namespace ops {

namespace {

constexpr const char *kPlaceholder = "a name with * or ? is the unchanged placeholder, not a file";
constexpr const char *kIsAnInput = "it is one of the files being joined, or a list they come from";
constexpr const char *kNothingToJoin = "there are no files to join";
constexpr const char *kStreamIsAnInput = "standard output is one of the files being joined, or a list they come from";

// With a check, the hashers hold each input's digest and the whole output's.
constexpr std::size_t kInputDigest = 0;
constexpr std::size_t kWholeDigest = 1;

// "*" and "?" never make a usable output name: they are the untouched "*.*" placeholder.
bool wildcardName(const std::string &output)
{
    return output.find_first_of("*?") != std::string::npos;
}

[[noreturn]] void refuse(const std::string &path, int err, const std::string &why = {})
{
    reportError(kInvalidFileName, path, err > 0 ? err : 0, why.empty() ? fileio::errorText(err < 0 ? err : 0) : why);
}

// Every input must be there and readable before anything is made; their identities are what the
// output may not be, their sizes what the join will read.
fileio::FileIds checkInputs(const std::vector<std::string> &inputs, std::int64_t &bytes, const MadeInputs *made)
{
    fileio::FileIds ids;
    bytes = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string &input = inputs[i];
        if (made && made->makes(i)) {
            bytes += made->size(i);
            continue;
        }
        if (!fileio::fileExists(input))
            reportNoFile(input);
        fileio::File file;
        if (const int err = fileio::openForReading(input, file))
            refuse(input, err);
        if (const std::optional<fileio::FileId> id = fileio::fileId(file))
            ids.insert(*id);
        std::int64_t size = 0;
        if (const int err = file.size(size))
            refuse(input, err);
        bytes += size;
        static_cast<void>(file.close()); // only read
    }
    return ids;
}

// The folders a join made along its output's path, taken away again unless the join succeeds.
class MadeFolders {
public:
    explicit MadeFolders(const std::string &output)
    {
        m_folder = fileio::directoryPart(output);
        if (m_folder.empty())
            return;
        m_folder.pop_back();
        // A folder that cannot be made shows when the output is created in it, with this reason.
        if (!m_folder.empty())
            m_error = fileio::makeDirectories(m_folder, &m_made);
    }
    ~MadeFolders()
    {
        for (auto folder = m_made.rbegin(); folder != m_made.rend(); ++folder)
            static_cast<void>(fileio::removeDirectory(*folder));
    }
    MadeFolders(const MadeFolders &) = delete;
    MadeFolders &operator=(const MadeFolders &) = delete;

    // Refuses the output that could not be created for want of its folder with the reason the
    // folder could not be made.
    void refuseIfMissing() const
    {
        if (m_error != 0)
            refuse(m_folder, m_error);
    }
    void keep() { m_made.clear(); }

private:
    std::string m_folder;
    int m_error = 0;
    std::vector<std::string> m_made;
};

// How a stop ends the join: an output that is a stream keeps what it was given.
Stopped stopOf(bool stream, const std::string &outputName)
{
    return stream ? Stopped(Stopped::Left::PartlyWritten, outputName) : Stopped();
}

// Appends the input as it is now; it must stay so until it is copied, to the last of its bytes.
// `stream` says whether the output is a stream, which is written in order and never read.
void appendInput(const std::string &path, const std::string &outputName, fileio::File &output, bool stream,
                 ProgressSink &progress, digest::BlockHashers *hashers)
{
    fileio::File input;
    if (const int err = fileio::openForReading(path, input))
        refuse(path, err);
    fileio::FileState before;
    if (const int err = input.state(before))
        refuse(path, err);
    const fileio::CopyResult copied = hashers ? digest::copyHashed(input, 0, &output, before.size, *hashers, &progress)
        : stream                              ? fileio::copyToStream(input, 0, output, before.size, &progress)
                                              : fileio::copyBytes(input, 0, output, before.size, &progress);
    switch (copied.status) {
    case fileio::CopyResult::Status::Done:
        break;
    case fileio::CopyResult::Status::Stopped:
        throw stopOf(stream, outputName);
    case fileio::CopyResult::Status::WriteFailed:
        refuse(outputName, copied.err);
    case fileio::CopyResult::Status::ReadFailed:
        refuse(path, copied.err);
    case fileio::CopyResult::Status::EndOfInput:
        refuse(path, fileio::kChanged);
    }
    fileio::FileState after;
    if (const int err = input.state(after))
        refuse(path, err);
    if (!after.sameContentAs(before))
        refuse(path, fileio::kChanged);
    progress.step();
    static_cast<void>(input.close()); // only read
}

// Appends the input the join makes, hashed on its way when asked.
void appendMade(MadeInputs &made, std::size_t index, const std::string &outputName, fileio::File &output, bool stream,
                ProgressSink &progress, digest::BlockHashers *hashers)
{
    made.make(index, [&](const unsigned char *bytes, std::size_t n) {
        // A rebuilt input is as long as a part: a stop need not wait for its end.
        if (progress.stopRequested())
            throw stopOf(stream, outputName);
        if (hashers)
            hashers->post(bytes, n);
        const int err = output.write(bytes, n);
        if (hashers)
            hashers->wait();
        if (err)
            refuse(outputName, err);
    });
    progress.step();
}

// Appends every input in turn, each checked against its line when asked, then the whole. A stop
// before an input leaves nothing under a file's name, but a stream keeps what has left already.
void joinInputs(const std::vector<std::string> &inputs, std::int64_t bytes, const std::string &outputName,
                fileio::File &out, bool stream, ProgressSink &progress, JoinCheck *check, MadeInputs *made)
{
    progress.setMaximum(static_cast<std::int64_t>(inputs.size()));
    progress.setByteTotal(bytes);
    std::optional<digest::BlockHashers> hashers;
    if (check)
        hashers.emplace(2);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (progress.stopRequested())
            throw stopOf(stream, outputName);
        if (made && made->makes(i))
            appendMade(*made, i, outputName, out, stream, progress, hashers ? &*hashers : nullptr);
        else
            appendInput(inputs[i], outputName, out, stream, progress, hashers ? &*hashers : nullptr);
        if (check)
            check->input(i, hashers->finish(kInputDigest));
    }
    if (check)
        check->whole(hashers->finish(kWholeDigest));
}

} // namespace

void Unite(const std::vector<std::string> &inputs, const std::string &output, ProgressSink &progress, JoinCheck *check,
           const fileio::FileIds &alsoKeep, fileio::AtomicOutput::Existing existing, MadeInputs *made)
{
    if (wildcardName(output))
        refuse(output, 0, kPlaceholder);
    if (inputs.empty())
        refuse(output, 0, kNothingToJoin);
    std::int64_t bytes = 0;
    fileio::FileIds keep = checkInputs(inputs, bytes, made);
    keep.insert(alsoKeep.begin(), alsoKeep.end());

    MadeFolders folders(output);
    // The name may lead to an input only once its folders exist: the output decides on the file
    // the name leads to, and again just before it takes the name.
    fileio::AtomicOutput out;
    if (const int err = out.open(output, keep, 0666, existing)) {
        if (err == fileio::kKeptFile)
            refuse(output, 0, kIsAnInput);
        if (err == ENOENT || err == ENOTDIR)
            folders.refuseIfMissing();
        refuse(output, err);
    }

    joinInputs(inputs, bytes, output, out.file(), false, progress, check, made);
    // The point of no return: once the output takes its name, a stop no longer undoes the join.
    if (progress.stopRequested())
        throw Stopped();
    if (const int err = out.finish(keep))
        refuse(output, err == fileio::kKeptFile ? 0 : err, err == fileio::kKeptFile ? kIsAnInput : "");
    folders.keep();
    progress.reset();
}

void UniteToStream(const std::vector<std::string> &inputs, fileio::File &out, const std::string &outName,
                   ProgressSink &progress, JoinCheck *check, const fileio::FileIds &alsoKeep, MadeInputs *made)
{
    if (inputs.empty())
        refuse(outName, 0, kNothingToJoin);
    std::int64_t bytes = 0;
    fileio::FileIds keep = checkInputs(inputs, bytes, made);
    keep.insert(alsoKeep.begin(), alsoKeep.end());
    // `unite -o - a b > a`: the input would be read while it is written, or lost.
    if (const std::optional<fileio::FileId> id = fileio::fileId(out); id && keep.contains(*id))
        refuse(outName, 0, kStreamIsAnInput);

    joinInputs(inputs, bytes, outName, out, true, progress, check, made);
    progress.reset();
}

} // namespace ops
