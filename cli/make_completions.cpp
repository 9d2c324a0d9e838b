// SPDX-License-Identifier: GPL-3.0-or-later
// Writes skarvel-cli's shell completions, made from its command table, when it is built:
// make_completions BASH ZSH FISH, the three files to write.
#include "completion_scripts.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fputs("usage: make_completions BASH ZSH FISH\n", stderr);
        return 2;
    }
    try {
        const std::string scripts[] = {cli::bashCompletion(), cli::zshCompletion(), cli::fishCompletion()};
        for (int i = 0; i < 3; ++i) {
            std::ofstream file(argv[i + 1], std::ios::binary | std::ios::trunc);
            file << scripts[i];
            file.close();
            if (!file) {
                std::fprintf(stderr, "make_completions: cannot write %s\n", argv[i + 1]);
                return 1;
            }
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "make_completions: %s\n", error.what());
        return 1;
    }
    return 0;
}
