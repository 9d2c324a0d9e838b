// SPDX-License-Identifier: GPL-3.0-or-later
#include "operation_runner.h"

#include "progress_bar_sink.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

#include <atomic>
#include <thread>

namespace app {

namespace {

constexpr int kRedrawIntervalMs = 33;

void show(ProgressBarSink &bar, const ProgressRelay::State &state)
{
    if (state.maximum >= 0)
        bar.show(state.maximum, state.position, state.fraction);
}

} // namespace

OperationRunner::Outcome OperationRunner::run(const Operation &operation, ProgressBarSink &bar, const Watch &watch,
                                              ProgressRelay::Counts counts)
{
    ProgressRelay relay(std::move(counts));
    m_relay = &relay;
    m_ended = false;
    // A stopped or failed operation left its position behind; the next one starts from nothing.
    bar.show(bar.maximum(), 0, 0.0);
    QElapsedTimer clock;
    clock.start();
    const auto seconds = [&clock] { return static_cast<double>(clock.nsecsElapsed()) / 1e9; };
    const auto redraw = [&] {
        const ProgressRelay::State state = relay.state();
        show(bar, state);
        if (watch)
            watch(state, seconds());
    };
    redraw();
    QEventLoop loop;
    QTimer redrawTimer;
    QObject::connect(&redrawTimer, &QTimer::timeout, redraw);
    redrawTimer.start(kRedrawIntervalMs);

    Outcome outcome;
    std::atomic<bool> ended{false};
    std::thread worker([&] {
        try {
            operation(relay);
        } catch (...) {
            outcome.failure = std::current_exception();
        }
        if (m_holdAtEnd)
            m_holdAtEnd();
        ended = true;
        // Also run by a box's own loop, while it is open over this one.
        QMetaObject::invokeMethod(
            &loop,
            [this, &loop] {
                m_ended = true;
                loop.quit();
                if (m_onEnded)
                    m_onEnded();
            },
            Qt::QueuedConnection);
    });
    loop.exec();
    // The loop also ends when the application quits: the operation is stopped then, not waited out.
    if (!ended)
        relay.requestStop();
    worker.join();
    redrawTimer.stop();
    outcome.seconds = seconds();
    outcome.made = relay.tally();
    show(bar, relay.state());
    bar.show(bar.maximum(), 0, 0.0); // at 0 however it ended, as one that ran to its end leaves it
    m_relay = nullptr;
    m_ended = false;
    return outcome;
}

void OperationRunner::requestStop()
{
    if (m_relay)
        m_relay->requestStop();
}

} // namespace app
