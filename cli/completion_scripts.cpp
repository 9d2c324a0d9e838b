// SPDX-License-Identifier: GPL-3.0-or-later
#include "completion_scripts.h"

#include "commands.h"

#include <string_view>
#include <vector>

namespace cli {

namespace {

constexpr const char *kHelpCommand = "help";
constexpr const char *kHelpDescription = "show the help of the program or of a command";

std::string replaced(std::string text, std::string_view mark, const std::string &with)
{
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + with.size()))
        text.replace(at, mark.size(), with);
    return text;
}

std::string joined(const std::vector<std::string> &words)
{
    std::string text;
    for (const std::string &word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

std::string commandNames()
{
    std::vector<std::string> names;
    for (const Command *command : allCommands())
        names.emplace_back(command->name);
    return joined(names);
}

std::vector<OptionSpec> ownOptions(const Command &command)
{
    return {command.options.begin(), command.options.end()};
}

// "-n --count" for an option; only those that take a value when valuedOnly.
std::vector<std::string> optionWords(const std::vector<OptionSpec> &options, bool valuedOnly = false)
{
    std::vector<std::string> words;
    for (const OptionSpec &option : options) {
        if (valuedOnly && !option.takesValue)
            continue;
        if (option.shortName != 0)
            words.push_back(std::string("-") + option.shortName);
        words.push_back(std::string("--") + option.name);
    }
    return words;
}

std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string_view trimmedLeft(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(' ');
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

// The description column of help line i: what follows the first gap of two blanks, carried on by
// the lines below that are indented deeper than any option or command starts.
std::string describedBy(const std::vector<std::string_view> &lines, std::size_t i)
{
    const std::string_view line = trimmedLeft(lines[i]);
    const std::size_t gap = line.find("  ");
    std::string text(gap == std::string_view::npos ? std::string_view() : trimmedLeft(line.substr(gap)));
    while (++i < lines.size() && lines[i].starts_with("        "))
        text += " " + std::string(trimmedLeft(lines[i]));
    return text;
}

// The description of an option in its command's help (or the common options' help).
std::string describe(const Command *command, const OptionSpec &option)
{
    const std::string help = std::string(command ? command->help : "") + kCommonOptionsHelp;
    const std::vector<std::string_view> lines = linesOf(help);
    const std::string word = std::string("--") + option.name;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = trimmedLeft(lines[i]);
        const std::size_t at = line.find(word);
        const std::size_t end = at + word.size();
        if (line.starts_with('-') && at < line.find("  ")
            && (end == line.size() || line[end] == '=' || line[end] == ' '))
            return describedBy(lines, i);
    }
    throw std::logic_error("no help line for " + word + (command ? std::string(" of ") + command->name : ""));
}

std::string describe(const Command &command)
{
    return describedBy(linesOf(command.overview), 0);
}

// Text for inside a shell's single quotes, each ' written as quoteAs ('\'' in zsh, \' in fish).
std::string singleQuoted(std::string_view text, std::string_view quoteAs)
{
    std::string quoted;
    for (const char c : text)
        quoted += c == '\'' ? std::string(quoteAs) : std::string(1, c);
    return quoted;
}

constexpr const char *kBash = R"sh(# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for skarvel-cli: commands, options, the words or file names their values take,
# and file names where files go. Made from skarvel-cli's command table when it is built.

_skarvel_cli_words()
{
    mapfile -t COMPREPLY < <(compgen -W "$1" -- "$2")
}

_skarvel_cli_files()
{
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$1")
}

# Sets options (all that command $1 takes), valued (those that take a value) and first (the
# words its first operand is one of, when it is no file name).
_skarvel_cli_command()
{
    options="@COMMON@" valued="" first=""
    case $1 in
@OPTIONS@    esac
}

# Completes $3 as the value of option $2 of command $1.
_skarvel_cli_value()
{
    case "$1 $2" in
@VALUES@    esac
}

_skarvel_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    # "--unit=K" comes as "--unit" "=" "K", and "--unit=" as "--unit" "=".
    if [[ $cur == = ]]; then
        cur=""
    elif [[ $prev == = && $COMP_CWORD -ge 2 ]]; then
        prev=${COMP_WORDS[COMP_CWORD-2]}
    fi
    local command="" operands=0 options valued first i word
    _skarvel_cli_command ""
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == -?* ]]; then
            # An option's value is no operand.
            if [[ ${COMP_WORDS[i+1]} == = ]]; then
                ((i += 2))
            elif [[ " $valued " == *" $word "* ]]; then
                ((i += 1))
            fi
        elif [[ -z $command ]]; then
            command=$word
            _skarvel_cli_command "$command"
        else
            ((operands += 1))
        fi
    done
    if [[ " $valued " == *" $prev "* ]]; then
        _skarvel_cli_value "$command" "$prev" "$cur"
    elif [[ -z $command ]]; then
        _skarvel_cli_words "@COMMANDS@ help $options" "$cur"
    elif [[ -n $first && $operands -eq 0 && $cur != -?* ]]; then
        _skarvel_cli_words "$first" "$cur"
    elif [[ $cur == -* ]]; then
        _skarvel_cli_words "$options" "$cur"
    elif [[ $command != help ]]; then
        _skarvel_cli_files "$cur"
    fi
}

complete -F _skarvel_cli skarvel-cli
)sh";

constexpr const char *kZsh = R"sh(#compdef skarvel-cli
# SPDX-License-Identifier: GPL-3.0-or-later
# zsh completion for skarvel-cli, made from its command table when it is built.

_skarvel-cli()
{
    local curcontext=$curcontext state state_descr line ret=1
    local -A opt_args
    local -a common=(
@COMMON@    )
    _arguments -C -S $common ': :->command' '*:: :->argument' && ret=0
    case $state in
    command)
        local -a commands=(
@COMMANDS@        )
        _describe -t commands 'skarvel-cli command' commands && ret=0
        ;;
    argument)
        curcontext=${curcontext%:*:*}:skarvel-cli-$words[1]:
        case $words[1] in
@ARGUMENTS@        esac
        ;;
    esac
    return ret
}

_skarvel-cli "$@"
)sh";

constexpr const char *kFish = R"sh(# SPDX-License-Identifier: GPL-3.0-or-later
# fish completion for skarvel-cli, made from its command table when it is built.

@LINES@)sh";

// "-n+[number of parts]:count: " for zsh's _arguments: the option, its description, and what its
// value takes (nothing to offer, one of the choices, or a file name).
std::vector<std::string> zshSpecs(const Command *command, const OptionSpec &option)
{
    std::string description;
    for (const char c : describe(command, option))
        description += c == '[' || c == ']' || c == '\\' ? std::string{'\\', c} : std::string(1, c);
    std::string value;
    if (option.takesValue)
        value = std::string(":") + option.name + ":"
            + (option.choices         ? "(" + std::string(option.choices) + ")"
                   : option.namesFile ? "_files"
                                      : " ");
    std::vector<std::string> specs;
    for (const std::string &word : optionWords({option})) {
        const char *joiner = !option.takesValue ? "" : word.size() == 2 ? "+" : "=";
        specs.push_back("'" + word + joiner + "[" + singleQuoted(description, "'\\''") + "]" + value + "'");
    }
    return specs;
}

std::string fishLine(const std::string &condition, const std::string &rest, const std::string &description)
{
    std::string line = "complete -c skarvel-cli";
    if (!condition.empty())
        line += " -n '" + condition + "'";
    line += rest;
    if (!description.empty())
        line += " -d '" + singleQuoted(replaced(description, "\\", "\\\\"), "\\'") + "'";
    return line + "\n";
}

std::string fishOption(const Command *command, const OptionSpec &option)
{
    std::string rest;
    if (option.shortName != 0)
        rest += std::string(" -s ") + option.shortName;
    rest += std::string(" -l ") + option.name;
    if (option.takesValue)
        rest += option.namesFile ? " -r -F" : " -x";
    if (option.choices)
        rest += " -a '" + std::string(option.choices) + "'";
    const std::string condition = command ? std::string("__fish_seen_subcommand_from ") + command->name : "";
    return fishLine(condition, rest, describe(command, option));
}

} // namespace

std::string bashCompletion()
{
    std::string options;
    std::string values;
    for (const Command *command : allCommands()) {
        const std::vector<OptionSpec> own = ownOptions(*command);
        const std::string name = command->name;
        if (!own.empty() || command->firstOperandChoices)
            options += "    " + name + ") options+=\" " + joined(optionWords(own)) + "\" valued=\""
                + joined(optionWords(own, true)) + "\" first=\""
                + (command->firstOperandChoices ? command->firstOperandChoices : "") + "\" ;;\n";
        for (const OptionSpec &option : own) {
            if (!option.choices && !option.namesFile)
                continue;
            std::string patterns;
            for (const std::string &word : optionWords({option}))
                patterns += (patterns.empty() ? "\"" : " | \"") + name + " " + word + "\"";
            const std::string action = option.choices ? "_skarvel_cli_words \"" + std::string(option.choices) + "\""
                                                      : std::string("_skarvel_cli_files");
            values += "    " + patterns + ") " + action + " \"$3\" ;;\n";
        }
    }
    options += std::string("    ") + kHelpCommand + ") first=\"" + commandNames() + "\" ;;\n";
    std::string text = replaced(kBash, "@OPTIONS@", options);
    text = replaced(text, "@VALUES@", values);
    text = replaced(text, "@COMMON@", joined(optionWords({kCommonOptions.begin(), kCommonOptions.end()})));
    return replaced(text, "@COMMANDS@", commandNames());
}

std::string zshCompletion()
{
    std::string common;
    for (const OptionSpec &option : kCommonOptions)
        common += "        " + joined(zshSpecs(nullptr, option)) + "\n";
    std::string commands;
    std::string arguments;
    for (const Command *command : allCommands()) {
        commands +=
            "            '" + std::string(command->name) + ":" + singleQuoted(describe(*command), "'\\''") + "'\n";
        arguments += "        " + std::string(command->name) + ")\n            _arguments -S $common";
        for (const OptionSpec &option : ownOptions(*command))
            arguments += " \\\n                " + joined(zshSpecs(command, option));
        if (command->firstOperandChoices)
            arguments +=
                " \\\n                '1:" + std::string(command->name) + ":(" + command->firstOperandChoices + ")'";
        arguments += " \\\n                '*:file:_files' && ret=0\n            ;;\n";
    }
    commands += std::string("            '") + kHelpCommand + ":" + kHelpDescription + "'\n";
    arguments += std::string("        ") + kHelpCommand + ")\n            _arguments '1:command:(" + commandNames()
        + ")' && ret=0\n            ;;\n";
    std::string text = replaced(kZsh, "@COMMON@", common);
    text = replaced(text, "@COMMANDS@", commands);
    return replaced(text, "@ARGUMENTS@", arguments);
}

std::string fishCompletion()
{
    std::string lines;
    for (const Command *command : allCommands())
        lines += fishLine("__fish_use_subcommand", std::string(" -f -a ") + command->name, describe(*command));
    lines += fishLine("__fish_use_subcommand", std::string(" -f -a ") + kHelpCommand, kHelpDescription);
    lines +=
        fishLine(std::string("__fish_seen_subcommand_from ") + kHelpCommand, " -f -a '" + commandNames() + "'", "");
    for (const OptionSpec &option : kCommonOptions)
        lines += fishOption(nullptr, option);
    for (const Command *command : allCommands()) {
        for (const OptionSpec &option : ownOptions(*command))
            lines += fishOption(command, option);
        if (const char *choices = command->firstOperandChoices)
            lines += fishLine(std::string("__fish_seen_subcommand_from ") + command->name
                                  + "; and not __fish_seen_subcommand_from " + choices,
                              std::string(" -f -a '") + choices + "'", "");
    }
    return replaced(kFish, "@LINES@", lines);
}

} // namespace cli
