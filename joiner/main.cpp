// SPDX-License-Identifier: GPL-3.0-or-later
#include "console.h"
#include "joiner.h"

#include "fileio/file.h"

#include <csignal>

#include <unistd.h>

int main(int argc, char **argv)
{
    // A closed output is a failed write, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    joiner::Console console(STDIN_FILENO, STDOUT_FILENO);
    const std::string self = argc > 0 && argv[0] ? argv[0] : "";
    return joiner::runJoiner(console, fileio::namePart(self));
}
