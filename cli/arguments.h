// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// A command line that cannot be used: exit status 2. An empty text means the problem has been
// printed already (getopt_long does that for the options it cannot take).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One option as getopt_long knows it, and what the shell completions offer for its value.
struct OptionSpec {
    const char *name; // the long name, without "--"
    char shortName;   // 0 when it has none
    bool takesValue;
    const char *choices = nullptr; // the words the value is one of, such as "byte Kb Mb"
    bool namesFile = false;        // the value is a file name
};

// The words of a command line sorted into option values, flags and operands.
class Arguments {
public:
    // The last value given counts.
    std::optional<std::string> value(std::string_view name) const;
    bool flag(std::string_view name) const;
    const std::vector<std::string> &operands() const { return m_operands; }

    void addValue(std::string name, std::string value) { m_values.emplace_back(std::move(name), std::move(value)); }
    void addFlag(std::string name) { m_flags.push_back(std::move(name)); }
    void addOperand(std::string operand) { m_operands.push_back(std::move(operand)); }

private:
    std::vector<std::pair<std::string, std::string>> m_values;
    std::vector<std::string> m_flags;
    std::vector<std::string> m_operands;
};

// Parses the words after the program or command name the GNU way: "-n 3", "-n3", "--count 3",
// "--count=3", unambiguous abbreviations ("--cou"), options between operands, "--" ending the
// options. stopAtOperand keeps everything from the first operand on as operands (for the words
// before the command). Throws UsageError after getopt_long has printed what is wrong.
Arguments parseArguments(const std::vector<std::string> &words, std::span<const OptionSpec> options,
                         bool stopAtOperand = false);

} // namespace cli
