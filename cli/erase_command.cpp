// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "run_operation.h"
#include "terminal_progress.h"

#include "failure_line.h"

#include "fileio/failure.h"
#include "fileio/file.h"
#include "ops/erase.h"

#include <cstring>

namespace cli {

namespace {

void run(const Arguments &args)
{
    if (args.operands().size() != 1)
        throw UsageError(args.operands().empty() ? "erase needs a FILE" : "erase takes one FILE");
    TerminalProgress progress(TerminalProgress::Units::Bytes, args.flag("quiet"));
    const std::string &path = args.operands().front();
    if (const int error = ops::Erase(path, progress)) {
        const std::string why = error == fileio::kChanged ? "its name no longer leads to it" : fileio::errorText(error);
        throw CommandFailure(quotedName(path) + ": zeroed but not removed: " + why);
    }
}

} // namespace

const Command kEraseCommand{
    "erase",
    "  erase FILE                   overwrite FILE with zeros, then delete it\n",
    "Usage: skarvel-cli erase FILE\n"
    "Overwrites every byte of FILE with zeros, flushes them to the device, then\n"
    "deletes FILE. A FILE that cannot be deleted (its folder is not writable, say)\n"
    "stays, zeroed, and the failure is reported with exit status 1. A symbolic link,\n"
    "or a FILE with other names (hard links), is refused. Stopped midway (Ctrl-C),\n"
    "FILE is kept, partly overwritten, and the message says how far it came.\n"
    "\n",
    {},
    run,
};

} // namespace cli
