// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"
#include "stop_signals.h"

int main(int argc, char **argv)
{
    cli::catchStopSignals();
    return cli::runCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
