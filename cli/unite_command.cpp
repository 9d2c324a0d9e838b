// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "failure_line.h"
#include "list_join.h"
#include "run_operation.h"
#include "terminal_progress.h"

#include "fileio/file.h"
#include "ops/unite.h"

namespace cli {

namespace {

constexpr OptionSpec kOptions[] = {
    {"output", 'o', true, nullptr, true},
    {"list", 0, true, nullptr, true},
    {"no-verify", 0, false},
};

// The output is named by -o only: a first operand taken as the output would empty a part that
// a shell glob happened to put first.
void run(const Arguments &args)
{
    const std::optional<std::string> output = args.value("output");
    if (!output)
        throw UsageError("unite needs the OUTPUT named with -o OUTPUT");
    const std::optional<std::string> list = args.value("list");
    if (list && !args.operands().empty())
        throw UsageError("unite takes INPUT files or --list, not both");
    if (!list && args.operands().empty())
        throw UsageError("unite needs at least one INPUT, or --list LIST");
    if (args.flag("no-verify") && !list)
        throw UsageError("--no-verify goes with --list");
    // Standard input is no file to join: a file of that name is ./-
    for (const std::string &input : args.operands()) {
        if (input == "-")
            throw UsageError("unite joins files, not standard input: a file named - is ./-");
    }
    if (list)
        return uniteByList(*list, *output, !args.flag("no-verify"), args.flag("quiet"));
    TerminalProgress progress(TerminalProgress::Units::Pieces, args.flag("quiet"));
    if (*output != kStandardOutput)
        return ops::Unite(args.operands(), *output, progress);
    StandardOutput out;
    ops::UniteToStream(args.operands(), out.file(), kStandardOutput, progress);
}

} // namespace

const Command kUniteCommand{
    "unite",
    "  unite -o OUTPUT INPUT...     join the INPUT files, in order, into OUTPUT\n"
    "  unite -o OUTPUT --list LIST  join the parts LIST (info.txt) names, in order\n",
    "Usage: skarvel-cli unite -o OUTPUT INPUT...\n"
    "  or:  skarvel-cli unite -o OUTPUT --list LIST\n"
    "Joins the INPUT files, in the order given, into OUTPUT. Missing folders along\n"
    "OUTPUT are created; an OUTPUT that is one of the INPUT files is refused.\n"
    "With -o -, writes the join to standard output; a join checked by --list that\n"
    "turns out bad there is said on standard error (exit status 1).\n"
    "With --list, joins the parts that LIST (an info.txt written by 'cut --recons')\n"
    "names, in its order, taking relative names from LIST's folder; the list must\n"
    "name at least two existing files, and an OUTPUT that is LIST or one of its\n"
    "parts is refused, all before anything is created.\n"
    "When info.sha256 (from 'cut --sha256') stands beside LIST, every part is\n"
    "checked against it as it is copied, and the joined file against its whole\n"
    "file's line; a part that is not listed there stops the join before anything is\n"
    "created, a damaged one stops it (exit status 1). OUTPUT takes its name only\n"
    "when whole and checked: a failed or stopped join leaves a file of that name as\n"
    "it was. An info.sha256 that is there but cannot be read stops the join.\n"
    "Part numbers have no leading zeros, so a shell glob such as film*.avi puts\n"
    "film10.avi before film2.avi: use --list, or name the parts in order\n"
    "(film{1..12}.avi).\n"
    "\n"
    "  -o, --output=OUTPUT  the file to write (required)\n"
    "      --list=LIST      join the parts LIST names instead of INPUT files\n"
    "      --no-verify      join by LIST without checking the parts against\n"
    "                       info.sha256\n",
    kOptions,
    run,
};

} // namespace cli
