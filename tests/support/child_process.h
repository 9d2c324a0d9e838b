// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace testsupport {

struct CliResult {
    int status = -1; // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs a program with the arguments, standard input from `input`, in folder cwd (when not empty),
// and collects its exit status and everything it wrote.
CliResult runProgram(const std::string &program, const std::vector<std::string> &args, const std::string &cwd = "",
                     const std::string &input = "");

// A program and the arguments it is started with.
struct Command {
    std::string program;
    std::vector<std::string> args;
};

// Runs the command the same way.
CliResult runCommand(const Command &command, const std::string &cwd = "", const std::string &input = "");

// The build's own skarvel-cli.
std::string cliPath();

// Runs skarvel-cli the same way.
CliResult runCli(const std::vector<std::string> &args, const std::string &cwd = "");

// A program running in a folder with its standard input, output and errors on pipes, driven step
// by step: read what it printed so far, answer, and watch whether it is still waiting.
class ChildProcess {
public:
    ChildProcess(const std::string &program, const std::string &cwd, const std::vector<std::string> &args = {});
    ChildProcess(const Command &command, const std::string &cwd);
    // Kills the program if it is still running.
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // Reads standard output until everything read ends with `text`, the program closes its
    // output, or a few seconds pass. Returns everything read so far.
    const std::string &readUntil(const std::string &text);
    void write(const std::string &text);
    void closeInput();
    // True while the program has not ended, after giving it `waitMs` to end.
    bool stillRunning(int waitMs);
    // Kills the program with SIGKILL; true when it was still running.
    bool kill();
    // Sends the signal (SIGINT, as Ctrl-C does), closes the input, reads the rest of the output and
    // returns the exit status, or 128 plus the number of the signal that ended the program, as a
    // shell shows it.
    int stop(int signal);
    // Closes the input, reads the rest of the output and returns the exit status (-1 when the
    // program did not exit normally).
    int finish();
    pid_t pid() const { return m_pid; }
    const std::string &output() const { return m_output; }
    const std::string &errors() const { return m_errors; }

private:
    // Reads once from the output or the errors, waiting at most timeoutMs; false once both have
    // ended, or on time-out.
    bool readSome(int timeoutMs);

    pid_t m_pid = -1;
    int m_input = -1;
    int m_outputFd = -1;
    int m_errorFd = -1;
    std::string m_output;
    std::string m_errors;
    bool m_exited = false;
    int m_status = -1;
};

} // namespace testsupport
