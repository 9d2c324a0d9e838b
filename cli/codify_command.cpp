// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "terminal_progress.h"

#include "ops/codify.h"

namespace cli {

namespace {

// The two buttons of the window: "+" adds the key, "-" subtracts it.
ops::CodifyDirection direction(const std::string &word)
{
    if (word == "+")
        return ops::CodifyDirection::Add;
    if (word == "-")
        return ops::CodifyDirection::Subtract;
    throw UsageError("codify needs + or - first, not '" + word + "'");
}

void run(const Arguments &args)
{
    // A lone "-" is an operand: getopt_long leaves it alone.
    const std::vector<std::string> &operands = args.operands();
    if (operands.size() != 3)
        throw UsageError("codify takes (+|-) DATA KEY");
    const ops::CodifyDirection sign = direction(operands[0]);
    TerminalProgress progress(TerminalProgress::Units::Bytes, args.flag("quiet"));
    ops::Codify(operands[1], operands[2], sign, progress);
}

} // namespace

const Command kCodifyCommand{
    "codify",
    "  codify (+|-) DATA KEY        add (+) or subtract (-) the bytes of KEY to\n"
    "                               DATA, in place (a scrambling, not encryption)\n",
    "Usage: skarvel-cli codify + DATA KEY\n"
    "  or:  skarvel-cli codify - DATA KEY\n"
    "Adds (+) or subtracts (-) the bytes of KEY to the bytes of DATA, modulo 256,\n"
    "repeating KEY as often as needed; '-' with the same KEY undoes '+'. The result\n"
    "is written to buff.vq beside DATA first and then takes DATA's place, so DATA's\n"
    "folder needs room for a copy of it; DATA keeps its owner, mode and attributes.\n"
    "A buff.vq that is there already is left alone and the run refused.\n"
    "\n"
    "This is a scrambling that keeps casual eyes out, not encryption: anyone who\n"
    "knows part of DATA's content can work out the key from it, and\n"
    "a wrong KEY is not detected (it gives other bytes without a word). For secrets\n"
    "use real encryption, such as gpg or age.\n"
    "\n",
    {},
    run,
    "+ -",
};

} // namespace cli
