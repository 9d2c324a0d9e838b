#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct CliResult {
    int status = -1; // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs a program with the arguments, standard input from `input`, in folder cwd (when not empty),
// and collects its exit status and everything it wrote.
CliResult runProgram(const std::string &program, const std::vector<std::string> &args,
                     const std::string &cwd = "", const std::string &input = "");

// Runs skarvel-cli (the build's own) the same way.
CliResult runCli(const std::vector<std::string> &args, const std::string &cwd = "");

} // namespace testsupport
