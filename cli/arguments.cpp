// SPDX-License-Identifier: GPL-3.0-or-later
#include "arguments.h"

#include <algorithm>

#include <getopt.h>

namespace cli {

namespace {

// Options without a short name are told apart by codes beyond every character.
constexpr int kLongOnlyCode = 256;

int codeOf(const OptionSpec &option, std::size_t index)
{
    return option.shortName != 0 ? static_cast<unsigned char>(option.shortName)
                                 : kLongOnlyCode + static_cast<int>(index);
}

std::string shortOptionString(std::span<const OptionSpec> options, bool stopAtOperand)
{
    std::string text = stopAtOperand ? "+" : "";
    for (const OptionSpec &option : options) {
        if (option.shortName == 0)
            continue;
        text += option.shortName;
        if (option.takesValue)
            text += ':';
    }
    return text;
}

std::vector<option> longOptions(std::span<const OptionSpec> options)
{
    std::vector<option> table;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const int hasArg = options[i].takesValue ? required_argument : no_argument;
        table.push_back({options[i].name, hasArg, nullptr, codeOf(options[i], i)});
    }
    table.push_back({nullptr, 0, nullptr, 0});
    return table;
}

const OptionSpec *findByCode(std::span<const OptionSpec> options, int code)
{
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (codeOf(options[i], i) == code)
            return &options[i];
    }
    return nullptr;
}

} // namespace

std::optional<std::string> Arguments::value(std::string_view name) const
{
    for (auto it = m_values.rbegin(); it != m_values.rend(); ++it) {
        if (it->first == name)
            return it->second;
    }
    return std::nullopt;
}

bool Arguments::flag(std::string_view name) const
{
    return std::find(m_flags.begin(), m_flags.end(), name) != m_flags.end();
}

Arguments parseArguments(const std::vector<std::string> &words, std::span<const OptionSpec> options, bool stopAtOperand)
{
    // getopt_long reorders the pointers, never the texts; its messages start with argv[0].
    std::string programName = "skarvel-cli";
    std::vector<std::string> texts(words);
    std::vector<char *> argv{programName.data()};
    for (std::string &text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    const std::string shortOptions = shortOptionString(options, stopAtOperand);
    const std::vector<option> table = longOptions(options);
    Arguments arguments;
    optind = 0; // starts getopt_long afresh, also when it has parsed another line before
    opterr = 1;
    const int argc = static_cast<int>(argv.size()) - 1;
    for (;;) {
        const int code = getopt_long(argc, argv.data(), shortOptions.c_str(), table.data(), nullptr);
        if (code == -1)
            break;
        const OptionSpec *option = findByCode(options, code);
        if (!option)
            throw UsageError("");
        if (option->takesValue)
            arguments.addValue(option->name, optarg);
        else
            arguments.addFlag(option->name);
    }
    for (int i = optind; i < argc; ++i)
        arguments.addOperand(argv[static_cast<std::size_t>(i)]);
    return arguments;
}

} // namespace cli
