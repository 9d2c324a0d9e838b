// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "commands.h"
#include "run_operation.h"

#include "skarvel_version.h"

namespace cli {

namespace {

constexpr const char *kProgramHelpTop =
    "Usage: skarvel-cli COMMAND [OPTION]... ARGUMENT...\n"
    "Handles large files by hand: cuts one into numbered parts, unites files,\n"
    "codifies a file with a key file, erases a file.\n"
    "\n"
    "Commands:\n";

constexpr const char *kProgramHelpEnd =
    "\n"
    "'skarvel-cli COMMAND --help' shows a command's own options. A progress line\n"
    "(percent, bytes, rate, time left) is shown on standard error when it is a\n"
    "terminal. Exit status: 0 done, 1 the operation failed (the reason on standard\n"
    "error), 2 bad arguments.\n";

std::string programHelp()
{
    std::string text = kProgramHelpTop;
    for (const Command *command : allCommands())
        text += command->overview;
    return text + "\nOptions, also taken after COMMAND:\n" + kCommonOptionsHelp + kProgramHelpEnd;
}

std::string commandHelp(const Command &command)
{
    return std::string(command.help) + kCommonOptionsHelp + (command.notes ? "\n" + std::string(command.notes) : "");
}

std::string versionText()
{
    return skarvelVersionText("skarvel-cli");
}

const Command &commandNamed(const std::string &name)
{
    const Command *command = findCommand(name);
    if (!command)
        throw UsageError("unknown command '" + name + "'");
    return *command;
}

void runCommand(const Command &command, const std::vector<std::string> &words)
{
    std::vector<OptionSpec> options(command.options.begin(), command.options.end());
    options.insert(options.end(), kCommonOptions.begin(), kCommonOptions.end());
    const Arguments arguments = parseArguments(words, options);
    if (arguments.flag("help"))
        print(commandHelp(command));
    else if (arguments.flag("version"))
        print(versionText());
    else
        command.run(arguments);
}

void run(const std::vector<std::string> &words)
{
    const Arguments program = parseArguments(words, kCommonOptions, true);
    if (program.flag("help"))
        return print(programHelp());
    if (program.flag("version"))
        return print(versionText());

    const std::vector<std::string> &operands = program.operands();
    if (operands.empty())
        throw UsageError("missing command");
    std::vector<std::string> rest(operands.begin() + 1, operands.end());
    if (operands.front() == "help") {
        // "help" alone, or "help COMMAND"
        if (rest.size() > 1)
            throw UsageError("help takes one COMMAND at most");
        return print(rest.empty() ? programHelp() : commandHelp(commandNamed(rest.front())));
    }
    if (program.flag("quiet")) // "skarvel-cli -q erase FILE" as well as "skarvel-cli erase -q FILE"
        rest.insert(rest.begin(), "--quiet");
    runCommand(commandNamed(operands.front()), rest);
}

} // namespace

std::span<const Command *const> allCommands()
{
    static const Command *const commands[] = {&kCutCommand,   &kUniteCommand,  &kCodifyCommand,
                                              &kEraseCommand, &kVerifyCommand, &kRepairCommand};
    return commands;
}

const Command *findCommand(std::string_view name)
{
    for (const Command *command : allCommands()) {
        if (name == command->name)
            return command;
    }
    return nullptr;
}

int runCommandLine(const std::vector<std::string> &words)
{
    return runOperation([&] { run(words); });
}

} // namespace cli
