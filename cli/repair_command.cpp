// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "failure_line.h"
#include "run_operation.h"
#include "stop_signals.h"
#include "terminal_progress.h"

#include "digest/sha256.h"
#include "fileio/atomic_output.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/printable_name.h"
#include "lists/recovery_set.h"
#include "lists/set_names.h"
#include "ops/isal_coder.h"
#include "ops/report_error.h"

#include <map>
#include <optional>

namespace cli {

namespace {

// One rebuilt file on its way: under a temporary beside its name, hashed as it is written.
struct Rebuilt {
    fileio::AtomicOutput output;
    digest::Sha256 hash;
    int err = 0; // of the first failed write
};

// Whether the output for `path` goes through a link under the name to another file: a rebuilt
// file replaces what stands in the set's folder, never a file a link there leads to.
bool throughLink(const std::string &path, const fileio::AtomicOutput &output)
{
    if (output.target() == path) // a new file: the name it is given is the one written
        return false;
    const std::string folder = fileio::directoryPart(path);
    std::string resolved;
    if (fileio::resolvePath(folder.empty() ? "." : folder, resolved) != 0)
        return true;
    return output.target() != (resolved == "/" ? "" : resolved) + "/" + fileio::namePart(path);
}

using RebuiltFiles = std::map<std::size_t, Rebuilt>;

// Rebuilds the files of one group into `made`, each under a temporary, and checks each against
// its line.
void rebuildGroup(lists::RecoverySet &set, ops::IsalCoder &coder, const std::vector<std::size_t> &files,
                  const fileio::FileIds &keep, RebuiltFiles &made, TerminalProgress &progress)
{
    for (const std::size_t file : files) {
        const std::string &path = set.member(file).path;
        Rebuilt &rebuilt = made[file];
        if (const int err = rebuilt.output.open(path, keep)) {
            if (err == fileio::kNotRegularFile)
                throw CommandFailure(quotedName(path) + ": not a regular file; nothing of its group was rebuilt");
            throw CommandFailure(quotedName(path) + ": " + fileio::errorText(err));
        }
        if (throughLink(path, rebuilt.output))
            throw CommandFailure(quotedName(path) + ": a symbolic link; nothing of its group was rebuilt");
    }
    const lists::RecoverySet::Failure failure =
        set.rebuild(coder, files, [&](std::size_t file, const unsigned char *bytes, std::size_t n) {
            if (stopSignalled())
                throw ops::Stopped();
            progress.step(static_cast<std::int64_t>(n));
            Rebuilt &rebuilt = made.at(file);
            rebuilt.hash.update(bytes, n);
            if (rebuilt.err == 0)
                rebuilt.err = rebuilt.output.file().write(bytes, n);
        });
    if (failure)
        throw CommandFailure(quotedName(failure.path) + ": " + fileio::errorText(failure.err)
                             + "; nothing of its group was rebuilt");
    for (const std::size_t file : files) {
        Rebuilt &rebuilt = made.at(file);
        if (rebuilt.err)
            throw CommandFailure(quotedName(set.member(file).path) + ": " + fileio::errorText(rebuilt.err));
        if (rebuilt.hash.finish() != set.member(file).digest)
            throw CommandFailure(quotedName(set.member(file).name)
                                 + ": rebuilt, it still differs from its line; nothing of its group was replaced");
    }
}

void run(const Arguments &args)
{
    if (args.operands().size() > 1)
        throw UsageError("repair takes one LIST at most");
    const std::string list = args.operands().empty() ? lists::kChecksumListName : args.operands().front();
    if (!fileio::fileExists(list))
        throw CommandFailure(quotedName(list)
                             + (fileio::nameTaken(list) ? ": not a regular file" : ": no such checksum list"));
    std::optional<lists::RecoverySet> set;
    if (const int err = lists::readRecoverySet(list, set))
        throw CommandFailure(quotedName(list) + ": " + fileio::errorText(err));
    if (!set)
        throw CommandFailure(quotedName(list) + ": lists no recovery parts, so nothing can be rebuilt");
    if (CheckProgress progress(args.flag("quiet")); !set->survey(&progress))
        throw ops::Stopped();
    const std::vector<std::size_t> broken = set->broken();
    if (broken.empty()) {
        print(std::to_string(set->fileCount()) + " listed files whole, nothing to repair\n");
        return;
    }
    for (const std::size_t file : broken)
        print(quotedName(set->member(file).name)
              + (fileio::nameTaken(set->member(file).path) ? ": damaged\n" : ": missing\n"));
    if (!set->findLayout() || !set->rebuildable())
        throw CommandFailure(
            "the set cannot be rebuilt: more files are missing or damaged than recovery parts are "
            "whole; nothing was changed");
    // No rebuilt file may take the name of another file of the set (a link between them).
    fileio::FileIds keep;
    for (std::size_t file = 0; file < set->fileCount(); ++file)
        if (set->member(file).whole)
            if (const std::optional<fileio::FileId> id = fileio::fileId(set->member(file).path))
                keep.insert(*id);
    // Nor any other file of the set.
    const std::string folder = fileio::directoryPart(list);
    for (const std::string &other : {list, folder + lists::kPartListName, folder + lists::kWindowsJoinerName,
                                     folder + lists::kLinuxJoinerName, folder + lists::kShJoinerName})
        if (const std::optional<fileio::FileId> id = fileio::fileId(other))
            keep.insert(*id);
    std::map<int, std::vector<std::size_t>> groups;
    for (const std::size_t file : broken)
        groups[set->groupOf(file)].push_back(file);
    // Every group rebuilt and checked before any file is replaced: a failure or a stop leaves the
    // set as it was.
    ops::IsalCoder coder;
    RebuiltFiles made;
    {
        TerminalProgress progress(TerminalProgress::Units::Bytes, args.flag("quiet"));
        std::int64_t total = 0;
        for (const std::size_t file : broken)
            total += set->sizeOf(file);
        progress.setMaximum(total);
        progress.setByteTotal(total);
        for (const auto &[group, files] : groups)
            rebuildGroup(*set, coder, files, keep, made, progress);
    }
    // The point of no return: once a rebuilt file takes its name, a stop lets the others follow.
    if (stopSignalled())
        throw ops::Stopped();
    for (auto &[file, rebuilt] : made) {
        if (const int err = rebuilt.output.finish(keep, true))
            throw CommandFailure(quotedName(set->member(file).path) + ": " + fileio::errorText(err));
        print(fileio::printableName(set->member(file).name) + " rebuilt from the recovery parts\n");
    }
}

} // namespace

const Command kRepairCommand{
    "repair",
    "  repair [LIST]                rebuild the missing and damaged files of a set\n",
    "Usage: skarvel-cli repair [LIST]\n"
    "Rebuilds, from the recovery parts of a set cut with --recovery, every part and\n"
    "recovery part that LIST (default info.sha256 in the current directory) names\n"
    "and that is missing or fails its line. Each is written under a temporary name\n"
    "and checked against its line; once every one is, they are renamed over the bad\n"
    "files. Refuses, changing nothing, when a group has more bad files than recovery\n"
    "parts. Prints each bad file and each file rebuilt; exit status 0 when the set\n"
    "is whole after it.\n"
    "\n",
    {},
    run,
};

} // namespace cli
