#include "commands.h"
#include "terminal_progress.h"

#include "ops/erase.h"

namespace cli {

namespace {

void run(const Arguments &args)
{
    if (args.operands().size() != 1)
        throw UsageError(args.operands().empty() ? "erase needs a FILE" : "erase takes one FILE");
    TerminalProgress progress(TerminalProgress::Units::Bytes, args.flag("quiet"));
    ops::Erase(args.operands().front(), progress);
}

} // namespace

const Command kEraseCommand{
    "erase",
    "  erase FILE                     overwrite FILE with zeros, then delete it\n",
    "Usage: skarvel-cli erase FILE\n"
    "Overwrites every byte of FILE with zeros, flushes them to the device, then deletes FILE.\n"
    "\n",
    {},
    run,
};

} // namespace cli
