#include "unite.h"

#include "copy.h"
#include "failure.h"
#include "file.h"
#include "progress.h"

#include <optional>

namespace ops {

namespace {

// Every failure of a join ends the same way; the files still open are closed first.
[[noreturn]] void giveUp(File &output, File *input = nullptr)
{
    if (input)
        input->close();
    output.close();
    reportError(kInvalidFileName);
}

// "*" and "?" never make a usable output name: they are the untouched "*.*" placeholder.
bool wildcardName(const std::string &output)
{
    return output.find_first_of("*?") != std::string::npos;
}

// An output that already is one of the inputs would be emptied before that input is read.
bool outputIsAnInput(const std::vector<std::string> &inputs, const std::string &output)
{
    const std::optional<FileId> outputId = fileId(output);
    if (!outputId)
        return false;
    for (const std::string &input : inputs) {
        if (fileId(input) == outputId)
            return true;
    }
    return false;
}

// The missing folders along the output's path; a failure shows when the output is created.
void makeOutputFolder(const std::string &output)
{
    std::string folder = directoryPart(output);
    folder.pop_back();
    if (!folder.empty())
        makeDirectories(folder);
}

void appendInput(const std::string &path, File &output, const std::optional<FileId> &outputId,
                 ProgressSink &progress)
{
    // Only regular files: opening a FIFO would wait for a writer forever.
    File input;
    if (!fileExists(path) || openForReading(path, input) != 0)
        giveUp(output);
    // An input that became the output after the check (created by this very join).
    if (!outputId || fileId(input) == outputId)
        giveUp(output, &input);

    std::int64_t size = 0;
    if (input.size(size) != 0)
        giveUp(output, &input);
    if (!copyBytes(input, 0, output, size, &progress).ok())
        giveUp(output, &input);
    progress.step();
    input.close();
}

} // namespace

void Unite(const std::vector<std::string> &inputs, const std::string &output, ProgressSink &progress)
{
    if (wildcardName(output) || outputIsAnInput(inputs, output))
        reportError(kInvalidFileName);

    if (!directoryPart(output).empty())
        makeOutputFolder(output);

    File out;
    if (createFile(output, out) != 0)
        reportError(kInvalidFileName);
    const std::optional<FileId> outputId = fileId(out);

    progress.setMaximum(static_cast<std::int64_t>(inputs.size()));
    for (const std::string &input : inputs)
        appendInput(input, out, outputId, progress);

    if (out.close() != 0)
        reportError(kInvalidFileName);
    progress.reset();
}

} // namespace ops
