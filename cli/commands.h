#pragma once

#include <string>
#include <vector>

namespace cli {

// Each subcommand takes the words after its name and returns the exit status:
// 0 done, 1 the operation failed (one line on standard error), 2 bad arguments.
int runCut(const std::vector<std::string> &words);
int runUnite(const std::vector<std::string> &words);
int runCodify(const std::vector<std::string> &words);
int runErase(const std::vector<std::string> &words);

// The help text of every subcommand.
extern const char *const kUsage;

} // namespace cli
