// SPDX-License-Identifier: GPL-3.0-or-later
#include "stop_signals.h"

#include "run_operation.h"

#include "fileio/file.h"

#include <csignal>

namespace cli {

namespace {

volatile std::sig_atomic_t g_signal = 0;

extern "C" void onStopSignal(int signal)
{
    g_signal = signal;
    fileio::stopWaiting(); // a call that waits, on a stalled mount say, ends too
}

} // namespace

void catchStopSignals()
{
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    action.sa_flags = SA_RESETHAND; // the second signal takes its default course
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM})
        sigaction(signal, &action, nullptr);
}

bool stopSignalled()
{
    return g_signal != 0;
}

int stopSignalStatus()
{
    return g_signal != 0 ? 128 + g_signal : kExitFailed;
}

} // namespace cli
