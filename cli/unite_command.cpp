#include "commands.h"
#include "run_operation.h"
#include "terminal_progress.h"

#include "ops/unite.h"

namespace cli {

int runUnite(const std::vector<std::string> &words)
{
    return runOperation([&] {
        const Arguments args(words, {}, {});
        if (args.operands().empty())
            throw UsageError("unite takes an OUTPUT and the INPUT files");
        const std::vector<std::string> &operands = args.operands();
        const std::vector<std::string> inputs(operands.begin() + 1, operands.end());
        TerminalProgress progress("files");
        ops::Unite(inputs, operands.front(), progress);
    });
}

} // namespace cli
