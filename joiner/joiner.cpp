// SPDX-License-Identifier: GPL-3.0-or-later
#include "joiner.h"

#include "console.h"
#include "joiner_failure.h"

#include "digest/block_hashers.h"
#include "digest/hashed_copy.h"
#include "fileio/atomic_output.h"
#include "fileio/copy.h"
#include "fileio/file.h"
#include "fileio/printable_name.h"
#include "lists/checksum_list.h"
#include "lists/listed_set.h"

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

// What stops the join before anything is made, in the joiner's words; false when nothing does.
bool tellProblem(Console &console, const lists::SetProblem &problem)
{
    using Kind = lists::SetProblem::Kind;
    switch (problem.kind) {
    case Kind::None:
        return false;
    case Kind::PartListUnreadable:
    case Kind::ChecksumListUnreadable:
        failStep(problem.err);
    case Kind::ListsDoNotPair:
        console.writeLine(problem.text);
        return true;
    case Kind::NoPartList:
    case Kind::PartMissing:
    case Kind::TooFewParts:
        break;
    }
    console.writeLine("Error in info.txt");
    if (problem.kind == Kind::NoPartList)
        console.writeLine("There is no info.txt in this folder");
    else if (problem.kind == Kind::PartMissing)
        console.writeLine("Part not found: " + fileio::printableName(problem.name));
    else
        console.writeLine("info.txt names fewer than two parts");
    return true;
}

// An empty name, or a name that leads to a part or to a list, would lose data.
fileio::AtomicOutput createOutput(const std::string &name, const lists::ListedSet &set)
{
    fileio::AtomicOutput output;
    if (name.empty())
        failStep(fileio::invalidNameError());
    if (const int err = output.open(name, set.files())) {
        const bool refused = err == fileio::kKeptFile || err == fileio::kNotRegularFile;
        failStep(refused ? fileio::invalidNameError() : err);
    }
    return output;
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

// Appends the part the set rebuilds from its recovery parts, its bytes hashed on their way; false
// when a file it is rebuilt from changed since it was checked.
bool appendRebuilt(lists::ListedSet &set, std::int64_t part, fileio::File &output, digest::BlockHashers &hashers)
{
    const lists::RecoverySet::Failure failure = set.rebuildPart(part, [&](const unsigned char *bytes, std::size_t n) {
        hashers.post(bytes, n);
        const int err = output.write(bytes, n);
        hashers.wait();
        if (err)
            failStep(err);
    });
    if (failure && failure.err > 0)
        failStep(failure.err);
    return !failure;
}

// A wrong output is worse than none: it never gets its name, and the line says why.
bool dropOutput(Console &console, fileio::AtomicOutput &output, const std::string &name, const std::string &why)
{
    output.abandon();
    console.writeLine(why + "; " + fileio::printableName(name) + " is not made");
    return false;
}

// Joins the listed parts under a temporary name and gives the output its name once it is whole;
// with digests, each part is checked as it is copied, in the list's order, and the whole output
// against the whole file's line. False when a check failed.
bool join(Console &console, lists::ListedSet &set)
{
    console.writeLine("Save new file as: ");
    const std::string name = console.readLine();
    fileio::AtomicOutput output = createOutput(name, set);
    if (const int err = set.begin())
        failStep(err);
    std::optional<digest::BlockHashers> hashers;
    if (set.checked())
        hashers.emplace(2);
    console.writeLine("Wait...");
    console.writeLine("Opened files: ");
    for (std::int64_t n = 0; n < set.partCount(); ++n) {
        const lists::ListedSet::Part part = set.next();
        const std::string shown = fileio::printableName(part.name);
        if (part.rebuilt) {
            if (!appendRebuilt(set, n, output.file(), *hashers))
                return dropOutput(console, output, name, shown + " could not be rebuilt from the recovery parts");
            console.writeLine(shown + " rebuilt from the recovery parts");
        } else {
            console.writeLine(" " + shown + " Ok");
            if (!appendPart(part.path, output.file(), hashers ? &*hashers : nullptr))
                return dropOutput(console, output, name, shown + " changed while it was read");
        }
        if (!set.checked())
            continue;
        if (!part.digest)
            return dropOutput(console, output, name, shown + " is not in info.sha256");
        if (hashers->finish(kPartDigest) != *part.digest)
            return dropOutput(console, output, name, shown + " is damaged: its SHA-256 differs");
        console.writeLine(kPartVerified);
    }
    // Parts checked one by one may still be the wrong parts, or in the wrong order, when both
    // lists were edited alike: the whole file's line, hashed alongside, says so.
    if (set.checked()) {
        const auto whole = set.whole();
        if (!set.incompleteSet() && (!whole || hashers->finish(kWholeDigest) != *whole))
            return dropOutput(console, output, name, "the joined file's SHA-256 differs from the whole file's line");
    }
    if (const int err = output.finish(set.files()))
        failStep(err == fileio::kKeptFile ? fileio::invalidNameError() : err);
    if (set.checked())
        console.writeLine(set.incompleteSet() ? kWholeNotChecked : kAllVerified);
    console.writeLine("Complete");
    return true;
}

int run(Console &console)
{
    for (const char *line : kBanner)
        console.writeLine(line);
    // Without "info.sha256" the join is the plain one, dialogue and all.
    lists::ListedSet set(lists::kPartListName);
    const lists::SetProblem problem = readingLists([&] { return set.check(); });
    const bool joined = !tellProblem(console, problem) && readingLists([&] { return join(console, set); });
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
