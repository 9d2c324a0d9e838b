// SPDX-License-Identifier: GPL-3.0-or-later
#include "joiner.h"

#include "console.h"
#include "digest_steps.h"
#include "joiner_failure.h"
#include "list_reader.h"

#include "digest/block_hashers.h"
#include "digest/checksum_list.h"
#include "digest/hashed_copy.h"
#include "fileio/copy.h"
#include "fileio/file.h"

#include <cstdint>
#include <optional>

namespace recons_tool {

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
constexpr const char *kDigestListError = "Error in info.sha256";

// The digests of a verified join: the part's, restarted for every part, and the output's.
constexpr std::size_t kPartDigest = 0;
constexpr std::size_t kOutputDigest = 1;

// What the first reading of the list found.
struct ListCheck {
    bool ok = true;
    std::int64_t lines = 0;
    // The listed files and the list itself: the output may be none of them.
    fileio::FileIds inputs;
};

fileio::File openList()
{
    fileio::File list;
    if (const int err = fileio::openForReading(kListName, list))
        failStep(err);
    return list;
}

// Reads every line, also after one has failed, and counts them.
ListCheck checkList()
{
    fileio::File list = openList();
    ListCheck check;
    if (const auto id = fileio::fileId(list))
        check.inputs.insert(*id);
    ListReader reader(list);
    while (!reader.atEnd()) {
        const std::string name = reader.readLine();
        if (!fileio::fileExists(name))
            check.ok = false;
        else if (const auto id = fileio::fileId(name))
            check.inputs.insert(*id);
        ++check.lines;
    }
    if (const auto id = fileio::fileId(digest::kChecksumListName))
        check.inputs.insert(*id);
    // A list must name at least two parts.
    if (check.lines < 2)
        check.ok = false;
    return check;
}

// An empty name, or a name that leads to a part or to the list, would lose data: creating the
// output empties that file before it is read.
void refuseOutput(const std::string &name, const ListCheck &check)
{
    if (name.empty())
        failStep(fileio::invalidNameError());
    const auto id = fileio::fileId(name);
    if (id && check.inputs.contains(*id))
        failStep(fileio::invalidNameError());
}

// The name checked may lead elsewhere by the time it is opened: the opened file decides.
fileio::File createOutput(const std::string &name, const ListCheck &check)
{
    fileio::File output;
    if (const int err = fileio::createFile(name, output, check.inputs))
        failStep(err == fileio::kKeptFile ? fileio::invalidNameError() : err);
    return output;
}

// Before anything is created: "info.sha256" must hold a line for every listed part, in list
// order, and then the whole file's line. Says what is wrong when it does not.
bool digestsCoverList(Console &console, std::int64_t lines)
{
    DigestSteps digests;
    fileio::File list = openList();
    ListReader reader(list);
    for (std::int64_t n = 0; n < lines; ++n) {
        const std::string part = reader.readLine();
        if (!digests.part(part)) {
            console.writeLine(part + " is not in info.sha256");
            return false;
        }
    }
    if (!digests.whole()) {
        console.writeLine(kDigestListError);
        return false;
    }
    return true;
}

// Appends the part as it stands now; a part that has shrunk since its size was taken ends early.
// With hashers, its bytes are hashed on their way.
void appendPart(const std::string &name, fileio::File &output, digest::BlockHashers *hashers)
{
    fileio::File part;
    if (const int err = fileio::openForReading(name, part))
        failStep(err);
    std::int64_t size = 0;
    if (const int err = part.size(size))
        failStep(err);
    const fileio::CopyResult copied = hashers ? digest::copyHashed(part, 0, &output, size, *hashers)
                                              : fileio::copyBytes(part, 0, output, size);
    if (copied.status == fileio::CopyResult::Status::ReadFailed || copied.status == fileio::CopyResult::Status::WriteFailed)
        failStep(copied.err);
    part.close();
}

// A wrong output is worse than none: it is removed, and the line says why.
bool dropOutput(Console &console, fileio::File &output, const std::string &name, const std::string &why)
{
    output.close();
    fileio::removeFile(name);
    console.writeLine(why + "; " + name + " is removed");
    return false;
}

// Joins the listed parts; with digests, checks each part as it is copied and the whole output
// at the end. False when a check failed.
bool join(Console &console, const ListCheck &check, bool withDigests)
{
    console.writeLine("Save new file as: ");
    const std::string name = console.readLine();
    refuseOutput(name, check);
    fileio::File output = createOutput(name, check);

    fileio::File list = openList();
    ListReader reader(list);
    std::optional<DigestSteps> digests;
    std::optional<digest::BlockHashers> hashers;
    if (withDigests) {
        digests.emplace();
        hashers.emplace(2);
    }
    console.writeLine("Wait...");
    console.writeLine("Opened files: ");
    for (std::int64_t n = 0; n < check.lines; ++n) {
        const std::string part = reader.readLine();
        console.writeLine(" " + part + " Ok");
        appendPart(part, output, hashers ? &*hashers : nullptr);
        if (!digests)
            continue;
        const auto listed = digests->part(part);
        if (!listed)
            return dropOutput(console, output, name, part + " is not in info.sha256");
        if (hashers->finish(kPartDigest) != *listed)
            return dropOutput(console, output, name, part + " is damaged: its SHA-256 differs");
        console.writeLine(kPartVerified);
    }
    if (const int err = output.close())
        failStep(err);
    if (digests) {
        const auto whole = digests->whole();
        if (!whole || hashers->finish(kOutputDigest) != *whole)
            return dropOutput(console, output, name, "The joined file's SHA-256 differs from info.sha256");
        console.writeLine(kAllVerified);
    }
    console.writeLine("Complete");
    return true;
}

int run(Console &console)
{
    for (const char *line : kBanner)
        console.writeLine(line);
    const ListCheck check = fileio::fileExists(kListName) ? checkList() : ListCheck{false, 0, {}};
    bool joined = true;
    if (!check.ok) {
        console.writeLine("Error in info.txt");
    } else {
        // Without "info.sha256" the join is the plain one, dialogue and all.
        const bool withDigests = fileio::fileExists(digest::kChecksumListName);
        joined = (!withDigests || digestsCoverList(console, check.lines)) && join(console, check, withDigests);
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

int RunJoiner(Console &console, const std::string &moduleName)
{
    try {
        return run(console);
    } catch (const JoinerFailure &failure) {
        report(console, failure, moduleName);
        return 1;
    }
}

} // namespace recons_tool
