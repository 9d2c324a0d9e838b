#include "commands.h"
#include "terminal_progress.h"

#include "ops/unite.h"

#include <filesystem>

namespace cli {

namespace {

constexpr OptionSpec kOptions[] = {
    {"output", 'o', true},
};

// What the inputs hold now; one that cannot be measured counts as empty (Unite refuses it).
std::int64_t totalSize(const std::vector<std::string> &paths)
{
    std::int64_t total = 0;
    for (const std::string &path : paths) {
        std::error_code error;
        const auto size = std::filesystem::file_size(path, error);
        if (!error)
            total += static_cast<std::int64_t>(size);
    }
    return total;
}

// The output is named by -o only: a first operand taken as the output would empty a part that
// a shell glob happened to put first.
void run(const Arguments &args)
{
    const std::optional<std::string> output = args.value("output");
    if (!output)
        throw UsageError("unite needs the OUTPUT named with -o OUTPUT");
    const std::vector<std::string> &inputs = args.operands();
    if (inputs.empty())
        throw UsageError("unite needs at least one INPUT");
    TerminalProgress progress(TerminalProgress::Units::Pieces, args.flag("quiet"), totalSize(inputs));
    ops::Unite(inputs, *output, progress);
}

} // namespace

const Command kUniteCommand{
    "unite",
    "  unite -o OUTPUT INPUT...       join the INPUT files, in the order given, into OUTPUT\n",
    "Usage: skarvel-cli unite -o OUTPUT INPUT...\n"
    "Joins the INPUT files, in the order given, into OUTPUT. Missing folders along OUTPUT are\n"
    "created; an OUTPUT that is one of the INPUT files is refused.\n"
    "Part numbers have no leading zeros, so a shell glob such as film*.avi puts film10.avi\n"
    "before film2.avi: name the parts in order (film{1..12}.avi).\n"
    "\n"
    "  -o, --output=OUTPUT  the file to write (required)\n",
    kOptions,
    run,
};

} // namespace cli
