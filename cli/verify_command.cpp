#include "commands.h"
#include "run_operation.h"

#include "digest/checksum_list.h"
#include "fileio/ioerror.h"
#include "ops/verify_list.h"

#include <cstdio>

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
        return file.name + ": damaged";
    case Verdict::Missing:
        return file.name + ": missing";
    case Verdict::Unreadable:
        return file.name + ": cannot be read: " + fileio::IoErrorReport(fileio::IoError::fromErrno(file.err));
    case Verdict::NotALine:
        return "entry " + file.name + " of the list is not a SHA-256 line";
    }
    return {};
}

} // namespace

bool verifySet(const std::string &listPath)
{
    long checked = 0;
    long faults = 0;
    const int err = ops::VerifyList(listPath, [&](const ops::ListedFile &file) {
        if (file.verdict == ops::ListedFile::Verdict::NotMadeYet)
            return;
        ++checked;
        if (const std::string line = faultLine(file); !line.empty()) {
            ++faults;
            std::printf("%s\n", line.c_str());
        }
    });
    if (err)
        fileio::failErrno(err);
    if (faults == 0)
        std::printf("%ld listed files whole\n", checked);
    else
        std::printf("%ld of %ld listed files damaged or missing\n", faults, checked);
    std::fflush(stdout);
    return faults == 0;
}

int runVerify(const std::vector<std::string> &words)
{
    bool whole = false;
    const int status = runOperation([&] {
        const Arguments args(words, {}, {});
        if (args.operands().size() > 1)
            throw UsageError("verify takes one LIST at most");
        whole = verifySet(args.operands().empty() ? digest::kChecksumListName : args.operands().front());
    });
    return status == kExitOk && !whole ? kExitFailed : status;
}

} // namespace cli
