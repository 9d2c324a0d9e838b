// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_in_process.h"

#include "temp_dir.h"

#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>

#include <unistd.h>

namespace testsupport {

namespace {

// Points a standard stream's descriptor at a temporary file for one scope, and gives back what
// was written there.
class CaughtStream {
public:
    explicit CaughtStream(std::FILE *stream) : m_stream(stream), m_fd(::fileno(stream))
    {
        std::fflush(m_stream);
        m_saved = ::dup(m_fd);
        m_file = std::tmpfile();
        if (m_saved < 0 || !m_file || ::dup2(::fileno(m_file), m_fd) < 0)
            ADD_FAILURE() << "cannot catch descriptor " << m_fd;
    }
    ~CaughtStream()
    {
        release();
        if (m_file)
            std::fclose(m_file);
    }
    CaughtStream(const CaughtStream &) = delete;
    CaughtStream &operator=(const CaughtStream &) = delete;

    std::string text()
    {
        release();
        std::string text;
        if (!m_file)
            return text;
        std::rewind(m_file);
        char block[4096];
        while (const std::size_t n = std::fread(block, 1, sizeof block, m_file))
            text.append(block, n);
        return text;
    }

private:
    void release()
    {
        if (m_saved < 0)
            return;
        std::fflush(m_stream);
        ::dup2(m_saved, m_fd);
        ::close(m_saved);
        m_saved = -1;
    }

    std::FILE *m_stream;
    int m_fd;
    int m_saved = -1;
    std::FILE *m_file = nullptr;
};

} // namespace

CliResult runCliInProcess(const std::vector<std::string> &args, const std::string &cwd)
{
    std::optional<ScopedCurrentDir> here;
    if (!cwd.empty())
        here.emplace(cwd);
    return runInProcess([&] { return cli::runCommandLine(args); });
}

CliResult runInProcess(const std::function<int()> &work)
{
    CaughtStream out(stdout);
    CaughtStream err(stderr);
    CliResult result;
    result.status = work();
    result.out = out.text();
    result.err = err.text();
    return result;
}

} // namespace testsupport
