// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// A failure the command line reports in its own words, not the window's: exit status 1.
class CommandFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs one command line's work and gives its exit status. An fileio::Failure becomes
// "skarvel-cli: TEXT" on standard error (TEXT exactly as the window's box shows it) and exit 1,
// a CommandFailure or any other exception the same with its own text; a UsageError one line
// naming the problem and a pointer to the help, exit 2.
int runOperation(const std::function<void()> &operation);

// Writes text to standard output and flushes it; a failed write there is a CommandFailure.
void print(const std::string &text);

} // namespace cli
