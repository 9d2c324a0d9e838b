// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "failure_line.h"
#include "run_operation.h"
#include "stop_signals.h"

#include "lists/checksum_list.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "ops/verify_checksum_list.h"

#include <cstring>

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

void run(const Arguments &args)
{
    if (args.operands().size() > 1)
        throw UsageError("verify takes one LIST at most");
    const std::string list = args.operands().empty() ? lists::kChecksumListName : args.operands().front();
    long checked = 0;
    long faults = 0;
    SignalledStop stop;
    const int err = ops::verifyChecksumList(
        list,
        [&](const ops::ListedFile &file) {
            if (file.verdict == ops::ListedFile::Verdict::NotMadeYet)
                return;
            ++checked;
            if (const std::string line = faultLine(file); !line.empty()) {
                ++faults;
                print(line + "\n");
            }
        },
        &stop);
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
    "makes it.\n"
    "\n",
    {},
    run,
};

} // namespace cli
