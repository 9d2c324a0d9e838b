// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "progress_relay.h"

#include <exception>
#include <functional>

namespace ops {
class ProgressSink;
}

namespace app {

class ProgressBarSink;

// Runs one operation at a time on a worker thread while the caller waits in a local event loop,
// so the handler reads as straight-line code and the window repaints meanwhile, its progress bar
// following the operation about thirty times a second. The worker never touches a widget.
class OperationRunner {
public:
    using Operation = std::function<void(ops::ProgressSink &progress)>;
    // Called on the window's thread with every redraw: the state so far and the seconds since the
    // start.
    using Watch = std::function<void(const ProgressRelay::State &state, double seconds)>;

    struct Outcome {
        std::exception_ptr failure; // nothing when the operation ran to its end
        ProgressRelay::Tally made;
        double seconds = 0.0;
    };

    // Runs the operation and returns once it has ended. The bar starts at 0 and is back at 0
    // afterwards, however the operation ended; its maximum stays the operation's count.
    Outcome run(const Operation &operation, ProgressBarSink &bar, const Watch &watch = {},
                ProgressRelay::Counts counts = {});

    bool running() const { return m_relay != nullptr; }
    // The operation under way has ended, and run() is about to return.
    bool hasEnded() const { return m_ended; }
    // Asks the operation under way to stop at its next block; it then ends as a failed one does.
    void requestStop();
    // Runs on the window's thread as soon as the operation has ended, also while a box is open.
    void setOnEnded(std::function<void()> onEnded) { m_onEnded = std::move(onEnded); }
    // Test hook: runs on the worker once the operation has returned, before its end is told.
    void setHoldAtEnd(std::function<void()> hold) { m_holdAtEnd = std::move(hold); }

private:
    ProgressRelay *m_relay = nullptr;
    bool m_ended = false;
    std::function<void()> m_onEnded;
    std::function<void()> m_holdAtEnd;
};

} // namespace app
