#include "child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <stdexcept>
#include <thread>
#include <vector>

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

} // namespace

ChildProcess::ChildProcess(const std::string &program, const std::string &cwd)
{
    // A program that ends without reading all its input must not take the test with it.
    std::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    m_pid = ::fork();
    if (m_pid < 0)
        throw std::runtime_error("fork failed");
    if (m_pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        if (::chdir(cwd.c_str()) != 0)
            ::_exit(127);
        char *const argv[] = {const_cast<char *>(program.c_str()), nullptr};
        ::execv(program.c_str(), argv);
        ::_exit(127);
    }
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
