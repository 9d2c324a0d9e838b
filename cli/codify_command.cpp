#include "commands.h"
#include "run_operation.h"
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
    throw UsageError("codify needs + or - first");
}

} // namespace

int runCodify(const std::vector<std::string> &words)
{
    return runOperation([&] {
        // A lone "-" is an operand, so the option parser leaves it alone.
        const Arguments args(words, {}, {});
        const std::vector<std::string> &operands = args.operands();
        if (operands.size() != 3)
            throw UsageError("codify takes (+|-) DATA KEY");
        const ops::CodifyDirection sign = direction(operands[0]);
        TerminalProgress progress("bytes");
        ops::Codify(operands[1], operands[2], sign, progress);
    });
}

} // namespace cli
