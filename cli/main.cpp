// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

int main(int argc, char **argv)
{
    return cli::runCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
