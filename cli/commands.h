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
int runVerify(const std::vector<std::string> &words);

// Checks the files a checksum list names and prints a line for each fault and a summary on
// standard output; true when every one is whole.
bool verifySet(const std::string &listPath);

// The help text of every subcommand.
extern const char *const kUsage;

} // namespace cli
