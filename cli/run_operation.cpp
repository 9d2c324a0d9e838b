// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_operation.h"

#include "arguments.h"
#include "failure_line.h"
#include "stop_signals.h"

#include "fileio/failure.h"
#include "ops/report_error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

namespace cli {

namespace {

int fail(const std::string &text)
{
    std::fprintf(stderr, "skarvel-cli: %s\n", text.c_str());
    return kExitFailed;
}

// What a stop left, as the command line says it.
std::string stoppedLine(const ops::Stopped &stopped)
{
    switch (stopped.left()) {
    case ops::Stopped::Left::PartlyErased:
        return "stopped after " + std::to_string(stopped.bytes()) + " bytes: " + quotedName(stopped.path())
            + " is partly overwritten and was kept";
    case ops::Stopped::Left::SourceKept:
        return "stopped after the parts took their names: " + quotedName(stopped.path()) + " was kept, not deleted";
    case ops::Stopped::Left::PartlyWritten:
        return "stopped; standard output has only the start of the join";
    case ops::Stopped::Left::AsItWas:
        break;
    }
    return "stopped; no partial file was left under an output's name";
}

} // namespace

int runOperation(const std::function<void()> &operation)
{
    try {
        operation();
        return kExitOk;
    } catch (const UsageError &error) {
        if (*error.what() != '\0')
            std::fprintf(stderr, "skarvel-cli: %s\n", error.what());
        std::fputs("Try 'skarvel-cli --help'.\n", stderr);
        return kExitUsage;
    } catch (const CommandFailure &failure) {
        return fail(failure.what());
    } catch (const ops::Stopped &stopped) {
        fail(stoppedLine(stopped));
        return stopSignalStatus();
    } catch (const fileio::Failure &failure) {
        // A call a stop signal cut short fails as any failed step; the run was stopped all the same.
        fail(failureLine(failure));
        return stopSignalled() ? stopSignalStatus() : kExitFailed;
    } catch (const std::bad_alloc &) {
        return fail("memory exhausted");
    } catch (const std::exception &error) {
        // Whatever the library underneath throws: one line and a failed run, never an abort.
        return fail(error.what());
    }
}

void print(const std::string &text)
{
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        throw CommandFailure(std::string("write error: ") + std::strerror(errno));
}

} // namespace cli
