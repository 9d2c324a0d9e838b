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
    } catch (const ops::Stopped &) {
        fail("stopped; no partial file was left under an output's name");
        return stopSignalStatus();
    } catch (const fileio::Failure &failure) {
        return fail(failureLine(failure));
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
