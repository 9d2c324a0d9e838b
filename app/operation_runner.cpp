// SPDX-License-Identifier: GPL-3.0-or-later
#include "operation_runner.h"

#include "progress_bar_sink.h"
#include "progress_relay.h"

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

std::exception_ptr OperationRunner::run(const Operation &operation, ProgressBarSink &bar)
{
    ProgressRelay relay;
    m_relay = &relay;
    // A stopped or failed operation left its position behind; the next one starts from nothing.
    bar.show(bar.maximum(), 0, 0.0);
    QEventLoop loop;
    QTimer redraw;
    QObject::connect(&redraw, &QTimer::timeout, [&] { show(bar, relay.state()); });
    redraw.start(kRedrawIntervalMs);

    std::exception_ptr failure;
    std::atomic<bool> ended{false};
    std::thread worker([&] {
        try {
            operation(relay);
        } catch (...) {
            failure = std::current_exception();
        }
        ended = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    // The loop also ends when the application quits: the operation is stopped then, not waited out.
    if (!ended)
        relay.requestStop();
    worker.join();
    redraw.stop();
    show(bar, relay.state());
    bar.show(bar.maximum(), 0, 0.0); // at 0 however it ended, as one that ran to its end leaves it
    m_relay = nullptr;
    return failure;
}

void OperationRunner::requestStop()
{
    if (m_relay)
        m_relay->requestStop();
}

} // namespace app
