// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "arguments.h"

#include <array>
#include <span>
#include <string_view>

namespace cli {

// One command of skarvel-cli: its name, its texts, its options and what it does. A new command
// is one more file defining its Command, and one more entry in allCommands().
struct Command {
    const char *name;
    // Its lines in the program's help, such as "  erase FILE    overwrite FILE ...\n".
    const char *overview;
    // Its --help text up to the options every command takes: usage, description, own options.
    const char *help;
    // Its own options; kCommonOptions come with every command.
    std::span<const OptionSpec> options;
    // Throws UsageError, CommandFailure or fileio::Failure; runOperation() makes an exit status.
    void (*run)(const Arguments &arguments);
    // The words the first operand is one of, such as "+ -"; nullptr when it names a file, as
    // every other operand does.
    const char *firstOperandChoices = nullptr;
    // What its --help says after the options, such as the presets of cut's --size; or nullptr.
    const char *notes = nullptr;
};

extern const Command kCutCommand;
extern const Command kUniteCommand;
extern const Command kCodifyCommand;
extern const Command kEraseCommand;
extern const Command kVerifyCommand;
extern const Command kRepairCommand;

// The commands in the order the program's help lists them.
std::span<const Command *const> allCommands();
const Command *findCommand(std::string_view name);

inline constexpr std::array<OptionSpec, 3> kCommonOptions{{
    {"quiet", 'q', false},
    {"help", 'h', false},
    {"version", 'V', false},
}};

inline constexpr const char *kCommonOptionsHelp =
    "  -q, --quiet          show no progress line\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n";

} // namespace cli
