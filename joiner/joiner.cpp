// SPDX-License-Identifier: GPL-3.0-or-later
#include "joiner.h"

#include "console.h"
#include "joiner_failure.h"

#include "digest/block_hashers.h"
#include "digest/hashed_copy.h"
#include "fileio/atomic_output.h"
#include "fileio/copy.h"
#include "fileio/file.h"
#include "lists/checksum_list.h"
#include "lists/list_pairing.h"
#include "lists/part_list_reader.h"

#include <cstdint>
#include <optional>

namespace joiner {

namespace {

constexpr const char *kBanner[] = {
    "Recons, the part joiner of Skarvel (c) 2026 the Skarvel developers",
    "Free software / Свободная и бесплатная программа",
    "",
    "Skarvel v 4.0.0 (recons.exe v 2.0)",
    "",
};

constexpr const char *kPartVerified = "  SHA-256 Ok";
constexpr const char *kAllVerified = "SHA-256 verified";
constexpr const char *kWholeNotChecked =
    "The whole file's line of info.sha256 was not checked: not every part was made";

// With digests, the hashers hold each part's and the whole output's.
constexpr std::size_t kPartDigest = 0;
constexpr std::size_t kWholeDigest = 1;

// What the first reading of the list found.
struct ListCheck {
    std::string problem; // the first, in words; empty when the list can be joined
    std::int64_t lines = 0;
    // The listed files and the lists themselves: the output may be none of them.
    fileio::FileIds inputs;
};

// A list that cannot be read ends the joiner as any failed step does.
template <typename Step>
auto readingLists(Step step) -> decltype(step())
{
    try {
        return step();
    } catch (const lists::ListReadError &failure) {
        failStep(failure.err);
    }
}

fileio::File openList(const char *name)
{
    fileio::File list;
    if (const int err = fileio::openForReading(name, list))
        failStep(err);
    return list;
}

// Reads every line, also after one has failed, and counts them.
ListCheck checkList()
{
    ListCheck check;
    if (!fileio::fileExists(lists::kPartListName)) {
        check.problem = "There is no info.txt in this folder";
        return check;
    }
    fileio::File list = openList(lists::kPartListName);
    if (const auto id = fileio::fileId(list))
        check.inputs.insert(*id);
    lists::PartListReader reader(list);
    while (!reader.atEnd()) {
        const std::string name = reader.readLine();
        if (!fileio::fileExists(name)) {
            if (check.problem.empty())
                check.problem = "Part not found: " + lists::printable(name);
        } else if (const auto id = fileio::fileId(name)) {
            check.inputs.insert(*id);
        }
        ++check.lines;
    }
    if (const auto id = fileio::fileId(lists::kChecksumListName))
        check.inputs.insert(*id);
    // A list must name at least two parts.
    if (check.problem.empty() && check.lines < 2)
        check.problem = "info.txt names fewer than two parts";
    return check;
}

// An empty name, or a name that leads to a part or to a list, would lose data.
fileio::AtomicOutput createOutput(const std::string &name, const ListCheck &check)
{
    fileio::AtomicOutput output;
    if (name.empty())
        failStep(fileio::invalidNameError());
    if (const int err = output.open(name, check.inputs)) {
        const bool refused = err == fileio::kKeptFile || err == fileio::kNotRegularFile;
        failStep(refused ? fileio::invalidNameError() : err);
    }
    return output;
}

// Before anything is created: "info.sha256" must hold a line for every listed part, in list
// order, and then the whole file's line. Says what is wrong when it does not.
bool digestsCoverList(Console &console)
{
    fileio::File list = openList(lists::kPartListName);
    fileio::File digests = openList(lists::kChecksumListName);
    const std::string problem = lists::pairLists(list, digests).problem;
    if (!problem.empty())
        console.writeLine(problem);
    return problem.empty();
}

// Appends the part as it stands now; false when it changed while it was copied (it ended before
// its size, or its size or times moved), which makes the output wrong. With hashers, its bytes
// are hashed on their way.
bool appendPart(const std::string &name, fileio::File &output, digest::BlockHashers *hashers)
{
    fileio::File part;
    if (const int err = fileio::openForReading(name, part))
        failStep(err);
    fileio::FileState before;
    if (const int err = part.state(before))
        failStep(err);
    const fileio::CopyResult copied = hashers ? digest::copyHashed(part, 0, &output, before.size, *hashers)
                                              : fileio::copyBytes(part, 0, output, before.size);
    if (copied.status == fileio::CopyResult::Status::ReadFailed
        || copied.status == fileio::CopyResult::Status::WriteFailed)
        failStep(copied.err);
    fileio::FileState after;
    if (const int err = part.state(after))
        failStep(err);
    static_cast<void>(part.close()); // only read
    return copied.ok() && after.sameContentAs(before);
}

// A wrong output is worse than none: it never gets its name, and the line says why.
bool dropOutput(Console &console, fileio::AtomicOutput &output, const std::string &name, const std::string &why)
{
    output.abandon();
    console.writeLine(why + "; " + lists::printable(name) + " is not made");
    return false;
}

// Joins the listed parts under a temporary name and gives the output its name once it is whole;
// with digests, each part is checked as it is copied, in the list's order, which proves the whole
// file when every part was made. False when a check failed.
bool join(Console &console, const ListCheck &check, bool withDigests)
{
    console.writeLine("Save new file as: ");
    const std::string name = console.readLine();
    fileio::AtomicOutput output = createOutput(name, check);

    fileio::File list = openList(lists::kPartListName);
    lists::PartListReader reader(list);
    fileio::File digestList;
    std::optional<lists::ChecksumSteps> digests;
    std::optional<digest::BlockHashers> hashers;
    if (withDigests) {
        digestList = openList(lists::kChecksumListName);
        digests.emplace(digestList);
        hashers.emplace(2);
    }
    console.writeLine("Wait...");
    console.writeLine("Opened files: ");
    for (std::int64_t n = 0; n < check.lines; ++n) {
        const std::string part = reader.readLine();
        console.writeLine(" " + lists::printable(part) + " Ok");
        if (!appendPart(part, output.file(), hashers ? &*hashers : nullptr))
            return dropOutput(console, output, name, lists::printable(part) + " changed while it was read");
        if (!digests)
            continue;
        const auto listed = digests->part(part);
        if (!listed)
            return dropOutput(console, output, name, lists::printable(part) + " is not in info.sha256");
        if (hashers->finish(kPartDigest) != *listed)
            return dropOutput(console, output, name, lists::printable(part) + " is damaged: its SHA-256 differs");
        console.writeLine(kPartVerified);
    }
    // Parts checked one by one may still be the wrong parts, or in the wrong order, when both
    // lists were edited alike: the whole file's line, hashed alongside, says so.
    if (digests) {
        const auto whole = digests->whole();
        if (!digests->incompleteSet() && (!whole || hashers->finish(kWholeDigest) != *whole))
            return dropOutput(console, output, name, "the joined file's SHA-256 differs from the whole file's line");
    }
    if (const int err = output.finish(check.inputs))
        failStep(err == fileio::kKeptFile ? fileio::invalidNameError() : err);
    if (digests)
        console.writeLine(digests->incompleteSet() ? kWholeNotChecked : kAllVerified);
    console.writeLine("Complete");
    return true;
}

int run(Console &console)
{
    for (const char *line : kBanner)
        console.writeLine(line);
    const ListCheck check = readingLists([] { return checkList(); });
    bool joined = false;
    if (!check.problem.empty()) {
        console.writeLine("Error in info.txt");
        console.writeLine(check.problem);
    } else {
        // Without "info.sha256" the join is the plain one, dialogue and all; one that is there
        // but cannot be read (a folder, a dangling link) stops it rather than turning the check off.
        const bool withDigests = fileio::nameTaken(lists::kChecksumListName);
        joined = (!withDigests || readingLists([&] { return digestsCoverList(console); }))
            && readingLists([&] { return join(console, check, withDigests); });
    }
    // Waits for Enter; the end of input counts as Enter.
    console.readLine();
    return joined ? 0 : 1;
}

std::string hex8(std::uint32_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

void report(Console &console, const JoinerFailure &failure, const std::string &moduleName)
{
    // The report goes to the same output; if that fails too there is nothing left to tell.
    try {
        console.write("Exception EInOutError in module " + moduleName + " at " + hex8(failure.where) + ".\n");
        console.writeLine(fileio::IoErrorReport(failure.error) + ".");
    } catch (const JoinerFailure &) {
    }
}

} // namespace

int runJoiner(Console &console, const std::string &moduleName)
{
    try {
        return run(console);
    } catch (const JoinerFailure &failure) {
        report(console, failure, moduleName);
        return 1;
    }
}

} // namespace joiner
