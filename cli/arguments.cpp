#include "arguments.h"

#include <algorithm>

namespace cli {

namespace {

bool listed(const std::vector<std::string> &names, const std::string &name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

Arguments::Arguments(const std::vector<std::string> &words, const std::vector<std::string> &valueOptions,
                     const std::vector<std::string> &flagOptions)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string &word = words[i];
        if (optionsEnded || word.size() < 2 || word.compare(0, 2, "--") != 0) {
            m_operands.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const auto eq = word.find('=');
        const std::string name = word.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        if (listed(valueOptions, name)) {
            if (eq != std::string::npos)
                m_values.emplace_back(name, word.substr(eq + 1));
            else if (i + 1 < words.size())
                m_values.emplace_back(name, words[++i]);
            else
                throw UsageError("option --" + name + " needs a value");
        } else if (listed(flagOptions, name) && eq == std::string::npos) {
            m_flags.push_back(name);
        } else {
            throw UsageError("unknown option " + word);
        }
    }
}

std::optional<std::string> Arguments::value(const std::string &name) const
{
    // The last one given counts.
    for (auto it = m_values.rbegin(); it != m_values.rend(); ++it) {
        if (it->first == name)
            return it->second;
    }
    return std::nullopt;
}

bool Arguments::flag(const std::string &name) const
{
    return listed(m_flags, name);
}

} // namespace cli
