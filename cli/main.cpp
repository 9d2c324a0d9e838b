#include "commands.h"
#include "run_operation.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace cli {

const char *const kUsage =
    "Usage:\n"
    "  skarvel-cli cut [--count N] [--size TEXT [--unit TEXT]] [--skip TEXT] [--marker TEXT]\n"
    "                  [--recons] [--sha256] [--delete] SOURCE\n"
    "  skarvel-cli cut --only TEXT [--count N] [--size TEXT [--unit TEXT]] [--marker TEXT] SOURCE\n"
    "  skarvel-cli unite OUTPUT [INPUT ...]\n"
    "  skarvel-cli codify (+|-) DATA KEY\n"
    "  skarvel-cli erase FILE\n"
    "  skarvel-cli verify [LIST]\n"
    "  skarvel-cli --help\n"
    "\n"
    "cut     Splits SOURCE into numbered parts beside it.\n"
    "        --count N      number of parts (2 to 255; default 2)\n"
    "        --size TEXT    split by part size instead: TEXT is the size number\n"
    "                       (empty or 0 still splits by count)\n"
    "        --unit TEXT    unit of the size: Kb, Mb, anything else means byte (default)\n"
    "        --skip TEXT    part numbers not to create, such as \"2 5-7\"\n"
    "        --marker TEXT  put TEXT before each part's number in its name\n"
    "        --recons       also write info.txt and Recons.exe into the current directory\n"
    "        --sha256       also write info.sha256 into the current directory: the SHA-256\n"
    "                       of each part made and of SOURCE, as sha256sum writes them\n"
    "        --delete       delete SOURCE after a successful cut\n"
    "        --only TEXT    make only these parts again, leaving the lists as they are\n"
    "unite   Joins the INPUT files, in order, into OUTPUT (missing folders are created).\n"
    "codify  Adds (+) or subtracts (-) the bytes of KEY to DATA, in place.\n"
    "erase   Overwrites FILE with zero bytes, then deletes it.\n"
    "verify  Checks the files LIST names (default info.sha256) beside it; exit 1 if any is\n"
    "        damaged or missing.\n"
    "\n"
    "Exit status: 0 done, 1 the operation failed (the reason on standard error), 2 bad arguments.\n"
    "A progress line is shown on standard error when it is a terminal.\n";

} // namespace cli

int main(int argc, char **argv)
{
    using namespace cli;
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const std::string command = argv[1];
    const std::vector<std::string> words(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "cut")
        return runCut(words);
    if (command == "unite")
        return runUnite(words);
    if (command == "codify")
        return runCodify(words);
    if (command == "erase")
        return runErase(words);
    if (command == "verify")
        return runVerify(words);
    std::fprintf(stderr, "skarvel-cli: unknown command %s\n%s", command.c_str(), kUsage);
    return kExitUsage;
}
