#include "commands.h"
#include "run_operation.h"
#include "terminal_progress.h"

#include "ops/erase.h"

namespace cli {

int runErase(const std::vector<std::string> &words)
{
    return runOperation([&] {
        const Arguments args(words, {}, {});
        if (args.operands().size() != 1)
            throw UsageError("erase takes one FILE");
        TerminalProgress progress("bytes");
        ops::Erase(args.operands().front(), progress);
    });
}

} // namespace cli
