// SPDX-License-Identifier: GPL-3.0-or-later
// ProgressSink on a progress bar: 64-bit counts on the bar's int range, steps, reset.
#include "app/operation_runner.h"
#include "app/progress_bar.h"
#include "app/progress_bar_sink.h"
#include "fileio/failure.h"
#include "ops/report_error.h"

#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

#include <cstdint>
#include <limits>

namespace {
constexpr qint64 kIntMax = std::numeric_limits<int>::max();
constexpr qint64 kGiB = qint64{1} << 30;
} // namespace

class ProgressBarSinkTest : public QObject {
    Q_OBJECT
private slots:
    void scaled_data();
    void scaled();
    void stepsAddUp();
    void resetKeepsTheMaximum();
    void countsBeyondTheIntRange();
    void nothingToDoShowsAnEmptyBar();
    void partwayRunsPendingWork();
    void movesWithinAUnit();
    void everyRunStartsAndEndsAtZero_data();
    void everyRunStartsAndEndsAtZero();
};

// A Cut of two huge parts: the bar moves while a part is copied, and its count stays in parts.
void ProgressBarSinkTest::movesWithinAUnit()
{
    app::ProgressBar bar;
    app::ProgressBarSink sink(bar);
    sink.setMaximum(2);
    sink.partway(kGiB, 4 * kGiB);
    QCOMPARE(bar.fraction(), 0.25);
    QCOMPARE(bar.value(), 0);
    QCOMPARE(bar.maximum(), 2);
    sink.step();
    QCOMPARE(bar.fraction(), 0.0);
    QCOMPARE(bar.value(), 1);
    sink.partway(3 * kGiB, 4 * kGiB);
    sink.reset();
    QCOMPARE(bar.fraction(), 0.0);
    QCOMPARE(bar.value(), 0);
}

void ProgressBarSinkTest::scaled_data()
{
    QTest::addColumn<qint64>("position");
    QTest::addColumn<qint64>("maximum");
    QTest::addColumn<int>("value");
    QTest::newRow("small counts as they are") << qint64(3) << qint64(7) << 3;
    QTest::newRow("int range end") << kIntMax << kIntMax << int(kIntMax);
    QTest::newRow("4 GiB, half way") << 2 * kGiB << 4 * kGiB << int(kIntMax / 2);
    QTest::newRow("4 GiB, done") << 4 * kGiB << 4 * kGiB << int(kIntMax);
    QTest::newRow("largest file") << std::numeric_limits<qint64>::max() << std::numeric_limits<qint64>::max()
                                  << int(kIntMax);
    QTest::newRow("past the end stays at the end") << qint64(9) << qint64(7) << 7;
    QTest::newRow("below zero shows zero") << qint64(-1) << qint64(7) << 0;
}

void ProgressBarSinkTest::scaled()
{
    QFETCH(qint64, position);
    QFETCH(qint64, maximum);
    QFETCH(int, value);
    QCOMPARE(app::ProgressBarSink::scaled(position, maximum), value);
}

void ProgressBarSinkTest::stepsAddUp()
{
    QProgressBar bar;
    app::ProgressBarSink sink(bar);
    sink.setMaximum(10);
    sink.step();
    sink.step(4);
    QCOMPARE(bar.maximum(), 10);
    QCOMPARE(bar.value(), 5);
}

void ProgressBarSinkTest::resetKeepsTheMaximum()
{
    QProgressBar bar;
    app::ProgressBarSink sink(bar);
    sink.setMaximum(4);
    sink.step(4);
    sink.reset();
    QCOMPARE(bar.value(), 0);
    QCOMPARE(bar.maximum(), 4);
    // The next operation starts from the position the last one left.
    sink.setMaximum(8);
    QCOMPARE(bar.value(), 0);
}

void ProgressBarSinkTest::countsBeyondTheIntRange()
{
    QProgressBar bar;
    app::ProgressBarSink sink(bar);
    sink.setMaximum(4 * kGiB);
    QCOMPARE(bar.maximum(), int(kIntMax));
    int last = bar.value();
    for (int i = 0; i < 64; ++i) {
        sink.step(kGiB / 16);
        QVERIFY(bar.value() > last); // the bar moves with every 64 MiB of a 4 GiB file
        last = bar.value();
    }
    QCOMPARE(bar.value(), int(kIntMax));
    QCOMPARE(sink.position(), 4 * kGiB);
}

void ProgressBarSinkTest::nothingToDoShowsAnEmptyBar()
{
    QProgressBar bar;
    app::ProgressBarSink sink(bar);
    sink.setMaximum(0);
    QVERIFY(bar.maximum() > bar.minimum()); // a range of 0..0 would be Qt's busy animation
    QCOMPARE(bar.value(), 0);
}

// The operation runs on a worker: the window's own work goes on meanwhile, and its bar follows.
void ProgressBarSinkTest::partwayRunsPendingWork()
{
    app::ProgressBar bar;
    app::ProgressBarSink sink(bar);
    std::atomic<bool> ran{false};
    std::atomic<double> seen{0.0};
    QTimer::singleShot(0, [&] { ran = true; });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { seen = std::max(seen.load(), bar.fraction()); });
    watch.start(5);
    app::OperationRunner runner;
    const std::exception_ptr failure = runner.run(
        [&](ops::ProgressSink &progress) {
            progress.setMaximum(2);
            progress.partway(1, 2);
            for (int i = 0; i < 500 && (!ran || seen == 0.0); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            progress.step();
        },
        sink);
    QVERIFY(!failure);
    QVERIFY(ran);
    QCOMPARE(seen.load(), 0.5);
    QCOMPARE(bar.value(), 0); // back at 0 once it has ended
    QCOMPARE(bar.maximum(), 2);
}

// A run that stopped or failed midway leaves the bar at 0, and the next one starts there, not from
// where the last one stopped.
void ProgressBarSinkTest::everyRunStartsAndEndsAtZero_data()
{
    QTest::addColumn<bool>("stopped");
    QTest::newRow("failed") << false;
    QTest::newRow("stopped") << true;
}

void ProgressBarSinkTest::everyRunStartsAndEndsAtZero()
{
    QFETCH(bool, stopped);
    app::ProgressBar bar;
    app::ProgressBarSink sink(bar);
    app::OperationRunner runner;
    const std::exception_ptr failure = runner.run(
        [&](ops::ProgressSink &progress) {
            progress.setMaximum(10);
            progress.step(6);
            progress.partway(1, 2);
            if (stopped)
                throw ops::Stopped();
            throw fileio::Failure("Disk full");
        },
        sink);
    QVERIFY(failure);
    QCOMPARE(bar.value(), 0);
    QCOMPARE(bar.fraction(), 0.0);
    QCOMPARE(bar.maximum(), 10);
    int first = -1;
    QTimer watch; // what the bar shows as the next run begins
    QObject::connect(&watch, &QTimer::timeout, [&] { first = first < 0 ? bar.value() : first; });
    watch.start(0);
    runner.run([](ops::ProgressSink &progress) { progress.setMaximum(10); }, sink);
    QCOMPARE(first, 0);
}

QTEST_MAIN(ProgressBarSinkTest)
#include "test_progress_bar_sink.moc"
