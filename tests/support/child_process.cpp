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
pid_t startProgram(const std::string &program, const std::vector<std::string> &args, const std::string &cwd,
                   int in, int out, int err)
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

// Feeds the input and drains both outputs together, so that no pipe fills up and blocks.
void exchange(int inFd, const std::string &input, int outFd, int errFd, CliResult &result)
{
    std::size_t written = 0;
    if (input.empty()) {
        ::close(inFd);
        inFd = -1;
    }
    char buffer[65536];
    while (outFd >= 0 || errFd >= 0) {
        pollfd fds[3] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}, {inFd, POLLOUT, 0}};
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error("poll failed");
        }
        for (int k = 0; k < 2; ++k) {
            int &fd = k == 0 ? outFd : errFd;
            if (fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                (k == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fd);
                fd = -1;
            }
        }
        if (inFd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t n = ::write(inFd, input.data() + written, input.size() - written);
            if (n > 0)
                written += static_cast<std::size_t>(n);
            if (n < 0 || written == input.size()) {
                ::close(inFd);
                inFd = -1;
            }
        }
    }
    if (inFd >= 0)
        ::close(inFd);
}

} // namespace

CliResult runProgram(const std::string &program, const std::vector<std::string> &args, const std::string &cwd,
                     const std::string &input)
{
    int in[2], out[2], err[2];
    makePipe(in);
    makePipe(out);
    makePipe(err);
    const pid_t pid = startProgram(program, args, cwd, in[0], out[1], err[1]);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);

    CliResult result;
    exchange(in[1], input, out[0], err[0], result);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = exitStatus(status);
    return result;
}

CliResult runCommand(const Command &command, const std::string &cwd, const std::string &input)
{
    return runProgram(command.program, command.args, cwd, input);
}

CliResult runCli(const std::vector<std::string> &args, const std::string &cwd)
{
    return runProgram(SKARVEL_CLI, args, cwd);
}

ChildProcess::ChildProcess(const std::string &program, const std::string &cwd) : ChildProcess(Command{program, {}}, cwd)
{
}

ChildProcess::ChildProcess(const Command &command, const std::string &cwd)
{
    // A program that ends without reading all its input must not take the test with it.
    std::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2];
    makePipe(in);
    makePipe(out);
    m_pid = startProgram(command.program, command.args, cwd, in[0], out[1], -1);
    ::close(in[0]);
    ::close(out[1]);
    m_input = in[1];
    m_outputFd = out[0];
}

ChildProcess::~ChildProcess()
{
    if (!m_exited && m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_input >= 0)
        ::close(m_input);
    if (m_outputFd >= 0)
        ::close(m_outputFd);
}

bool ChildProcess::readSome(int timeoutMs)
{
    if (m_outputFd < 0)
        return false;
    pollfd fd{m_outputFd, POLLIN, 0};
    const int ready = ::poll(&fd, 1, timeoutMs);
    if (ready <= 0)
        return false;
    char buffer[4096];
    const ssize_t n = ::read(m_outputFd, buffer, sizeof buffer);
    if (n <= 0) {
        ::close(m_outputFd);
        m_outputFd = -1;
        return false;
    }
    m_output.append(buffer, static_cast<std::size_t>(n));
    return true;
}

const std::string &ChildProcess::readUntil(const std::string &text)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadTimeoutMs);
    while (!m_output.ends_with(text) && std::chrono::steady_clock::now() < deadline) {
        if (!readSome(100) && m_outputFd < 0)
            break;
    }
    return m_output;
}

void ChildProcess::write(const std::string &text)
{
    if (::write(m_input, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
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

int ChildProcess::finish()
{
    closeInput();
    while (readSome(kReadTimeoutMs)) {
    }
    if (!m_exited) {
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_exited = true;
        m_status = exitStatus(status);
    }
    return m_status;
}

} // namespace testsupport
