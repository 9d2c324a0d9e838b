// SPDX-License-Identifier: GPL-3.0-or-later
#include "child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <stdexcept>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr int kReadTimeoutMs = 10000;

int exitStatus(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Starts the program in folder cwd (when not empty) with the given descriptors as its standard
// input, output and error (-1: left as they are).
pid_t startProgram(const std::string &program, const std::vector<std::string> &args, const std::string &cwd, int in,
                   int out, int err)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid > 0)
        return pid;
    for (const auto &[from, to] : {std::pair{in, 0}, std::pair{out, 1}, std::pair{err, 2}}) {
        if (from >= 0)
            ::dup2(from, to);
    }
    if (!cwd.empty() && ::chdir(cwd.c_str()) != 0)
        ::_exit(127);
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(program.c_str()));
    for (const auto &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

void makePipe(int fds[2])
{
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
}

// Waits for the program to end; its exit status, or -1 when it did not exit normally.
int reap(pid_t pid, bool &killed)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    return exitStatus(status);
}

} // namespace

CliResult runProgram(const std::string &program, const std::vector<std::string> &args, const std::string &cwd,
                     const std::string &input)
{
    // The inputs given here are a few lines: they fit into the pipe before anything is read.
    ChildProcess child(program, cwd, args);
    child.write(input);
    const int status = child.finish();
    return {status, child.output(), child.errors()};
}

std::string cliPath()
{
    return SKARVEL_CLI;
}

CliResult runCommand(const Command &command, const std::string &cwd, const std::string &input)
{
    return runProgram(command.program, command.args, cwd, input);
}

CliResult runCli(const std::vector<std::string> &args, const std::string &cwd)
{
    return runProgram(cliPath(), args, cwd);
}

ChildProcess::ChildProcess(const Command &command, const std::string &cwd)
    : ChildProcess(command.program, cwd, command.args)
{
}

ChildProcess::ChildProcess(const std::string &program, const std::string &cwd, const std::vector<std::string> &args)
{
    // A program that ends without reading all its input must not take the test with it.
    std::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    makePipe(in);
    makePipe(out);
    makePipe(err);
    m_pid = startProgram(program, args, cwd, in[0], out[1], err[1]);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    m_input = in[1];
    m_outputFd = out[0];
    m_errorFd = err[0];
}

ChildProcess::~ChildProcess()
{
    kill();
    if (m_input >= 0)
        ::close(m_input);
    for (const int fd : {m_outputFd, m_errorFd}) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool ChildProcess::readSome(int timeoutMs)
{
    if (m_outputFd < 0 && m_errorFd < 0)
        return false;
    pollfd fds[2] = {{m_outputFd, POLLIN, 0}, {m_errorFd, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) <= 0)
        return false;
    for (int k = 0; k < 2; ++k) {
        int &fd = k == 0 ? m_outputFd : m_errorFd;
        if (fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            (k == 0 ? m_output : m_errors).append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            ::close(fd);
            fd = -1;
        }
    }
    return true;
}

const std::string &ChildProcess::readUntil(const std::string &text)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadTimeoutMs);
    while (!m_output.ends_with(text) && std::chrono::steady_clock::now() < deadline) {
        if (!readSome(100) && m_outputFd < 0 && m_errorFd < 0)
            break;
    }
    return m_output;
}

void ChildProcess::write(const std::string &text)
{
    // A program that has ended or closed its input takes nothing more; that is for the test to see.
    const ssize_t n = ::write(m_input, text.data(), text.size());
    if (n != static_cast<ssize_t>(text.size()) && !(n < 0 && errno == EPIPE))
        throw std::runtime_error("write to the program failed");
}

void ChildProcess::closeInput()
{
    if (m_input >= 0)
        ::close(m_input);
    m_input = -1;
}

bool ChildProcess::stillRunning(int waitMs)
{
    if (m_exited)
        return false;
    for (int waited = 0;; waited += 10) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_exited = true;
            m_status = exitStatus(status);
            return false;
        }
        if (waited >= waitMs)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool ChildProcess::kill()
{
    if (m_exited || m_pid <= 0)
        return false;
    ::kill(m_pid, SIGKILL);
    bool killed = false;
    m_status = reap(m_pid, killed);
    m_exited = true;
    return killed;
}

int ChildProcess::stop(int signal)
{
    if (!m_exited && m_pid > 0)
        ::kill(m_pid, signal);
    closeInput();
    while (readSome(kReadTimeoutMs)) {
    }
    if (m_exited)
        return m_status;
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_exited = true;
    m_status = exitStatus(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : m_status;
}

int ChildProcess::finish()
{
    closeInput();
    while (readSome(kReadTimeoutMs)) {
    }
    if (!m_exited) {
        bool killed = false;
        m_status = reap(m_pid, killed);
        m_exited = true;
    }
    return m_status;
}

} // namespace testsupport
