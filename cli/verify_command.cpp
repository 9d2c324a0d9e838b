// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "failure_line.h"
#include "run_operation.h"
#include "terminal_progress.h"

#include "lists/checksum_list.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "lists/recovery_set.h"
#include "ops/verify_checksum_list.h"

#include <cstring>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace cli {

namespace {

// The line that tells what is wrong with one listed file; empty when nothing is.
std::string faultLine(const ops::ListedFile &file)
{
    using Verdict = ops::ListedFile::Verdict;
    switch (file.verdict) {
    case Verdict::Whole:
    case Verdict::NotMadeYet:
        return {};
    case Verdict::Damaged:
        return quotedName(file.name) + ": damaged";
    case Verdict::Missing:
        return quotedName(file.name) + ": missing";
    case Verdict::Unreadable:
        return quotedName(file.name) + ": cannot be read: " + fileio::errorText(file.err);
    case Verdict::NotALine:
        return "entry " + file.name + " of the list is not a SHA-256 line";
    }
    return {};
}

constexpr const char *kCanBeRebuilt = " \u2014 can be rebuilt from the recovery parts";
constexpr const char *kCannotBeRebuilt =
    "the set cannot be rebuilt: more of its files are missing or damaged than recovery parts are whole\n";

// For a set with recovery parts: whether the files found whole can rebuild the others; nothing for
// a list without recovery parts.
std::optional<bool> rebuildable(const std::string &list, const std::map<std::string, bool> &whole)
{
    std::optional<lists::RecoverySet> set;
    if (lists::readRecoverySet(list, set) != 0 || !set)
        return std::nullopt;
    for (std::size_t file = 0; file < set->fileCount(); ++file) {
        const auto found = whole.find(set->member(file).name);
        set->setWhole(file, found != whole.end() && found->second);
    }
    return set->findLayout() && set->rebuildable();
}

void run(const Arguments &args)
{
    if (args.operands().size() > 1)
        throw UsageError("verify takes one LIST at most");
    const std::string list = args.operands().empty() ? lists::kChecksumListName : args.operands().front();
    long checked = 0;
    long faults = 0;
    // The fault lines wait for the end: whether the set can be rebuilt is known only then.
    std::vector<std::pair<std::string, std::string>> lines; // the file's name, its line
    std::map<std::string, bool> whole;
    const int err = [&] {
        CheckProgress progress(args.flag("quiet")); // its line is gone before anything is printed
        return ops::verifyChecksumList(
            list,
            [&](const ops::ListedFile &file) {
                if (file.verdict == ops::ListedFile::Verdict::NotMadeYet)
                    return;
                ++checked;
                whole[file.name] = file.verdict == ops::ListedFile::Verdict::Whole;
                if (std::string line = faultLine(file); !line.empty()) {
                    ++faults;
                    lines.emplace_back(file.name, std::move(line));
                }
            },
            &progress);
    }();
    const std::optional<bool> canRebuild = faults > 0 && !err ? rebuildable(list, whole) : std::nullopt;
    for (const auto &[name, line] : lines)
        print(line + (canRebuild.value_or(false) ? kCanBeRebuilt : "") + "\n");
    if (canRebuild && !*canRebuild)
        print(kCannotBeRebuilt);
    if (err == fileio::kNotRegularFile)
        throw CommandFailure(quotedName(list) + ": not a regular file");
    if (err)
        throw CommandFailure(quotedName(list) + ": " + fileio::errorText(err));
    if (checked == 0)
        throw CommandFailure(quotedName(list) + ": lists no file, so nothing was checked");
    if (faults > 0)
        throw CommandFailure(std::to_string(faults) + " of " + std::to_string(checked)
                             + " listed files damaged or missing");
    print(std::to_string(checked) + " listed files whole\n");
}

} // namespace

const Command kVerifyCommand{
    "verify",
    "  verify [LIST]                check the files LIST (info.sha256) names\n",
    "Usage: skarvel-cli verify [LIST]\n"
    "Checks every file that LIST (default info.sha256 in the current directory, as\n"
    "written by 'cut --sha256') names, taking relative names from LIST's folder.\n"
    "Prints a line for each file that is damaged, missing or unreadable on standard\n"
    "output; then a summary, on standard output when every file is whole, else on\n"
    "standard error with exit status 1. Every line is checked alike, but the whole\n"
    "file of a set that Cut wrote (the line after the parts) may be missing: a join\n"
    "makes it. For a set with recovery parts, says whether the files found whole\n"
    "can rebuild the others ('skarvel-cli repair' does).\n"
    "\n",
    {},
    run,
};

} // namespace cli
