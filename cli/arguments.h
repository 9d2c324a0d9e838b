#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// A command line that cannot be used: the usage message follows, exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The words after the subcommand, split into "--name value" / "--name=value" options, flags
// and operands ("--" ends the options).
class Arguments {
public:
    Arguments(const std::vector<std::string> &words, const std::vector<std::string> &valueOptions,
              const std::vector<std::string> &flagOptions);

    std::optional<std::string> value(const std::string &name) const;
    bool flag(const std::string &name) const;
    const std::vector<std::string> &operands() const { return m_operands; }

private:
    std::vector<std::pair<std::string, std::string>> m_values;
    std::vector<std::string> m_flags;
    std::vector<std::string> m_operands;
};

} // namespace cli
