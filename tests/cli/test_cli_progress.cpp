// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/progress_line.h"
#include "cli/terminal_progress.h"

#include "support/skip.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

TEST(CliProgress, LineShowsPercentBytesRateAndTimeLeft)
{
    constexpr std::int64_t kMiB = 1024 * 1024;
    const struct Row {
        std::int64_t done, total;
        double seconds;
        const char *line;
    } rows[] = {
        {0, 0, 0.0, "  0.0%  0 B of 0 B  --/s  --:-- left"},
        {0, 1000, 0.5, "  0.0%  0 B of 1000 B  --/s  --:-- left"},
        {1023, 2048, 1.0, " 50.0%  1023 B of 2.0 KiB  1023 B/s  0:02 left"},
        {256 * kMiB, 1024 * kMiB, 2.0, " 25.0%  256.0 MiB of 1.0 GiB  128.0 MiB/s  0:06 left"},
        {5 * kMiB, 4096 * kMiB, 10.0, "  0.1%  5.0 MiB of 4.0 GiB  512.0 KiB/s  2:16:22 left"},
        {3 * kMiB * 1024 * 1024, 3 * kMiB * 1024 * 1024, 30.0, "100.0%  3.0 TiB of 3.0 TiB  102.4 GiB/s  0:00 left"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(cli::progressLine(row.done, row.total, row.seconds), row.line);
}

// A terminal for one test: the progress line is drawn only on one.
class PseudoTerminal {
public:
    PseudoTerminal() : m_master(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0)
            m_slave = std::fopen(::ptsname(m_master), "w");
    }
    ~PseudoTerminal()
    {
        if (m_slave)
            std::fclose(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }
    std::FILE *slave() const { return m_slave; }
    std::string output() const
    {
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(n));
        return text;
    }

private:
    int m_master;
    std::FILE *m_slave = nullptr;
};

TEST(CliProgress, CountsTheBytesOfPiecesOnATerminalAndClearsTheLine)
{
    for (const bool quiet : {false, true}) {
        PseudoTerminal tty;
        SKIP_UNLESS(tty.slave(), "open a pseudo-terminal");
        {
            cli::TerminalProgress progress(cli::TerminalProgress::Units::Pieces, quiet, tty.slave());
            progress.setMaximum(3);
            progress.setByteTotal(200);
            // Within the first tenth of a second: counted, not drawn.
            progress.partway(40, 100);
            progress.partway(100, 100);
            progress.step(1);
            progress.step(1); // a piece passed over adds no bytes
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
            progress.partway(0, 100);
        }
        const std::string shown = tty.output();
        if (quiet) {
            EXPECT_EQ(shown, "");
            continue;
        }
        EXPECT_TRUE(shown.starts_with("\r\033[K 50.0%  100 B of 200 B  ")) << shown;
        EXPECT_TRUE(shown.ends_with(" left\r\033[K")) << shown;
    }
}

TEST(CliProgress, ACheckCountsTheBytesOfEveryFileHashed)
{
    PseudoTerminal tty;
    SKIP_UNLESS(tty.slave(), "open a pseudo-terminal");
    {
        cli::CheckProgress progress(false, tty.slave());
        progress.partway(100, 100); // a first file, hashed whole
        progress.partway(40, 200);  // then a second
        std::this_thread::sleep_for(std::chrono::milliseconds(120));
        progress.partway(50, 200);
    }
    const std::string shown = tty.output();
    EXPECT_NE(shown.find("\r\033[K150 B  "), std::string::npos) << shown;
    EXPECT_TRUE(shown.ends_with("/s\r\033[K")) << shown;
}

} // namespace
