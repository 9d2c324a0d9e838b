#include "commands.h"

#include <cstdio>

// Subcommands still to come; each says so instead of doing nothing.
namespace cli {

namespace {

int notYet(const char *name)
{
    std::fprintf(stderr, "skarvel-cli: %s is not available in this build yet\n", name);
    return 2;
}

} // namespace

int runUnite(const std::vector<std::string> &) { return notYet("unite"); }
int runCodify(const std::vector<std::string> &) { return notYet("codify"); }
int runErase(const std::vector<std::string> &) { return notYet("erase"); }

} // namespace cli
