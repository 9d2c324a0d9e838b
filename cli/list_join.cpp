// SPDX-License-Identifier: GPL-3.0-or-later
#include "list_join.h"

#include "failure_line.h"
#include "run_operation.h"
#include "stop_signals.h"
#include "terminal_progress.h"

#include "fileio/failure.h"
#include "fileio/printable_name.h"
#include "lists/listed_set.h"
#include "ops/isal_coder.h"
#include "ops/report_error.h"
#include "ops/unite.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace cli {

namespace {

// What stops the join before anything is made, in the command line's words.
[[noreturn]] void refuse(const lists::ListedSet &set, const std::string &listPath, const lists::SetProblem &problem)
{
    using Kind = lists::SetProblem::Kind;
    const std::string list = fileio::printableName(listPath) + ": ";
    switch (problem.kind) {
    case Kind::NoPartList:
        throw CommandFailure(list
                             + (problem.err == fileio::kNotRegularFile ? "not a regular file" : "no such part list"));
    case Kind::PartListUnreadable:
        throw CommandFailure(list + fileio::errorText(problem.err));
    case Kind::PartMissing:
        throw CommandFailure(list + "line " + std::to_string(problem.line) + " names no file: '"
                             + fileio::printableName(problem.name) + "'");
    case Kind::TooFewParts:
        throw CommandFailure(list + "names fewer than two parts");
    case Kind::ChecksumListUnreadable:
        throw CommandFailure(quotedName(set.checksumListPath()) + ": " + fileio::errorText(problem.err));
    case Kind::ListsDoNotPair:
    case Kind::None:
        break;
    }
    throw CommandFailure(problem.text);
}

// Each part checked against its line as it is copied, and the joined file against the whole
// file's line, which proves it whole when both lists were edited alike.
class ListCheck final : public ops::JoinCheck {
public:
    ListCheck(const lists::ListedSet &set, std::vector<lists::ListedSet::Part> parts,
              std::optional<digest::Sha256Digest> whole, const std::string &output)
        : m_listPath(set.checksumListPath()), m_parts(std::move(parts)), m_whole(whole),
          // On standard output the bytes have left by the time a check fails.
          m_outcome(output == kStandardOutput ? "; the join written to standard output is bad"
                                              : "; " + quotedName(output) + " is not made")
    {
    }

    void input(std::size_t index, const digest::Sha256Digest &digest) override
    {
        const lists::ListedSet::Part &part = m_parts.at(index);
        if (!part.digest)
            throw CommandFailure(fileio::printableName(part.name) + " is not in info.sha256");
        if (digest != *part.digest)
            throw CommandFailure(quotedName(part.name) + ": damaged, its SHA-256 differs from " + quotedName(m_listPath)
                                 + m_outcome);
    }

    void whole(const digest::Sha256Digest &digest) override
    {
        if (m_whole && digest != *m_whole)
            throw CommandFailure("the joined file's SHA-256 differs from the whole file's line of "
                                 + quotedName(m_listPath) + m_outcome);
    }

private:
    std::string m_listPath;
    std::vector<lists::ListedSet::Part> m_parts;
    std::optional<digest::Sha256Digest> m_whole;
    std::string m_outcome;
};

// The parts the set rebuilds from its recovery parts, each said as it is made.
class RebuiltParts final : public ops::MadeInputs {
public:
    RebuiltParts(lists::ListedSet &set, const std::vector<lists::ListedSet::Part> &parts) : m_set(set)
    {
        for (const lists::ListedSet::Part &part : parts) {
            m_rebuilt.push_back(part.rebuilt);
            m_names.push_back(part.name);
        }
    }

    bool makes(std::size_t index) const override { return m_rebuilt.at(index); }
    std::int64_t size(std::size_t index) const override { return m_set.rebuiltSize(static_cast<std::int64_t>(index)); }
    void make(std::size_t index, const std::function<void(const unsigned char *, std::size_t)> &write) override
    {
        const lists::RecoverySet::Failure failure = m_set.rebuildPart(static_cast<std::int64_t>(index), write);
        if (failure)
            throw CommandFailure(quotedName(failure.path) + ": " + fileio::errorText(failure.err) + "; "
                                 + quotedName(m_names[index]) + " could not be rebuilt from the recovery parts");
        // Said even with --quiet, which silences the progress line alone.
        std::fputs(
            ("skarvel-cli: " + fileio::printableName(m_names[index]) + " rebuilt from the recovery parts\n").c_str(),
            stderr);
    }

private:
    lists::ListedSet &m_set;
    std::vector<bool> m_rebuilt;
    std::vector<std::string> m_names;
};

} // namespace

void uniteByList(const std::string &listPath, const std::string &output, bool verify, bool quiet)
{
    ops::IsalCoder coder;
    lists::ListedSet set(listPath, verify, &coder);
    std::vector<lists::ListedSet::Part> parts;
    std::optional<digest::Sha256Digest> whole;
    try {
        // A set with recovery parts is hashed whole first, which a stop may end.
        const lists::SetProblem problem = [&] {
            CheckProgress progress(quiet);
            return set.check(&progress);
        }();
        if (stopSignalled())
            throw ops::Stopped();
        if (problem)
            refuse(set, listPath, problem);
        if (const int err = set.begin())
            throw CommandFailure(fileio::printableName(listPath) + ": " + fileio::errorText(err));
        for (std::int64_t n = 0; n < set.partCount(); ++n)
            parts.push_back(set.next());
        whole = set.whole();
    } catch (const lists::ListReadError &failure) {
        throw CommandFailure(fileio::printableName(listPath) + ": " + fileio::errorText(failure.err));
    }
    const std::optional<fileio::FileId> outputId =
        output == kStandardOutput ? std::nullopt : fileio::fileId(output); // UniteToStream looks itself
    if (outputId && set.files().contains(*outputId))
        throw CommandFailure(quotedName(output)
                             + (outputId == fileio::fileId(set.checksumListPath())
                                    ? ": is the checksum list beside the part list"
                                    : ": is the part list or one of its parts"));
    std::vector<std::string> paths;
    for (const lists::ListedSet::Part &part : parts)
        paths.push_back(part.path);
    RebuiltParts rebuilt(set, parts);
    std::optional<ListCheck> check;
    if (set.checked())
        check.emplace(set, std::move(parts), whole, output);
    TerminalProgress progress(TerminalProgress::Units::Pieces, quiet);
    if (output == kStandardOutput) {
        StandardOutput out;
        ops::UniteToStream(paths, out.file(), output, progress, check ? &*check : nullptr, set.files(), &rebuilt);
    } else {
        ops::Unite(paths, output, progress, check ? &*check : nullptr, set.files(),
                   fileio::AtomicOutput::Existing::Replace, &rebuilt);
    }
    if (set.incompleteSet())
        std::fputs("skarvel-cli: the whole file's line of info.sha256 was not checked: not every part was made\n",
                   stderr);
}

} // namespace cli
