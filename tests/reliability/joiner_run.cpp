// SPDX-License-Identifier: GPL-3.0-or-later
#include "joiner_run.h"

#include "support/temp_dir.h"

#include "joiner/console.h"
#include "joiner/joiner.h"

#include <fcntl.h>
#include <unistd.h>

namespace reliability {

JoinerRun runJoinerIn(const std::string &dir, const std::string &typed, const std::string &consoleDir)
{
    const std::string in = consoleDir + "/console.in";
    const std::string out = consoleDir + "/console.out";
    testsupport::writeFile(in, typed);
    const int input = ::open(in.c_str(), O_RDONLY | O_CLOEXEC);
    const int output = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    JoinerRun run;
    {
        testsupport::ScopedCurrentDir here(dir);
        joiner::Console console(input, output);
        run.status = joiner::runJoiner(console, "Recons.exe");
    }
    ::close(input);
    ::close(output);
    run.printed = testsupport::readText(out);
    return run;
}

std::string joinerReportText(const std::string &printed)
{
    const std::string head = "Exception EInOutError in module Recons.exe at ";
    const auto at = printed.find(head);
    if (at == std::string::npos)
        return "";
    const auto line = printed.find('\n', at) + 1;
    const auto end = printed.find(".\r\n", line);
    return end == std::string::npos ? "" : printed.substr(line, end - line);
}

} // namespace reliability
