// SPDX-License-Identifier: GPL-3.0-or-later
// An operation's progress on the bar: 64-bit counts on the bar's int range, a share of the unit under
// way; what the bar says while an operation runs and once it has ended.
#include "app/progress/operation_runner.h"
#include "app/progress/progress_bar.h"
#include "app/progress/progress_bar_sink.h"
#include "app/progress/progress_texts.h"
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
    void countsBeyondTheIntRange();
    void nothingToDoShowsAnEmptyBar();
    void partwayRunsPendingWork();
    void movesWithinAUnit();
    void everyRunStartsAndEndsAtZero_data();
    void everyRunStartsAndEndsAtZero();
    void texts_data();
    void texts();
};

// A Cut of two huge parts: the bar moves while a part is copied, and its count stays in parts.
void ProgressBarSinkTest::movesWithinAUnit()
{
    app::ProgressBar bar;
    app::ProgressBarSink sink(bar);
    sink.show(2, 0, 0.25);
    QCOMPARE(bar.fraction(), 0.25);
    QCOMPARE(bar.value(), 0);
    QCOMPARE(bar.maximum(), 2);
    sink.show(2, 1, 0.0);
    QCOMPARE(bar.fraction(), 0.0);
    QCOMPARE(bar.value(), 1);
    sink.show(2, 0, 0.0);
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

void ProgressBarSinkTest::countsBeyondTheIntRange()
{
    QProgressBar bar;
    app::ProgressBarSink sink(bar);
    sink.show(4 * kGiB, 0, 0.0);
    QCOMPARE(bar.maximum(), int(kIntMax));
    int last = bar.value();
    for (int i = 1; i <= 64; ++i) {
        sink.show(4 * kGiB, i * (kGiB / 16), 0.0);
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
    sink.show(0, 0, 0.0);
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
    const auto outcome = runner.run(
        [&](ops::ProgressSink &progress) {
            progress.setMaximum(2);
            progress.partway(1, 2);
            for (int i = 0; i < 500 && (!ran || seen == 0.0); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            progress.step();
        },
        sink);
    QVERIFY(!outcome.failure);
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
    const auto outcome = runner.run(
        [&](ops::ProgressSink &progress) {
            progress.setMaximum(10);
            progress.step(6);
            progress.partway(1, 2);
            if (stopped)
                throw ops::Stopped();
            throw fileio::Failure("Disk full");
        },
        sink);
    QVERIFY(outcome.failure);
    QCOMPARE(bar.value(), 0);
    QCOMPARE(bar.fraction(), 0.0);
    QCOMPARE(bar.maximum(), 10);
    int first = -1;
    runner.run([](ops::ProgressSink &progress) { progress.setMaximum(10); }, sink,
               [&](const app::ProgressRelay::State &, double) { first = first < 0 ? bar.value() : first; });
    QCOMPARE(first, 0);
}

void ProgressBarSinkTest::texts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    using app::Finished;
    constexpr auto ru = app::Language::Russian, en = app::Language::English;
    QTest::newRow("cut, en") << app::finishedText(Finished::Cut, 12, 4 * kGiB, 37.2, en)
                             << "12 parts, 4.0 GiB, in 38 s";
    QTest::newRow("cut, ru") << app::finishedText(Finished::Cut, 12, 4 * kGiB, 37.2, ru)
                             << "12 частей, 4,0 ГиБ, за 38 с";
    QTest::newRow("one part, bytes") << app::finishedText(Finished::Cut, 1, 1000, 0.01, ru)
                                     << "1 часть, 1000 Б, за 1 с";
    QTest::newRow("22 parts") << app::finishedText(Finished::Cut, 22, 0, 0, ru) << "22 части, 0 Б, за 0 с";
    QTest::newRow("unite, minutes") << app::finishedText(Finished::Unite, 3, 1536, 125, en)
                                    << "United: 3 files, 1.5 KiB, in 2 min 5 s";
    QTest::newRow("encipher, hours") << app::finishedText(Finished::Encipher, 0, 3 << 20, 3720, ru)
                                     << "Зашифровано: 3,0 МиБ, за 1 ч 2 мин";
    QTest::newRow("running, en") << app::runningText(0.414, 6.2, en) << "41%, 7 s left";
    QTest::newRow("running, ru") << app::runningText(0.414, 6.2, ru) << "41\u00a0%, осталось 7 с";
    QTest::newRow("never 100 before the end") << app::runningText(0.9999, std::nullopt, en) << "99%";
    QTest::newRow("no estimate in the first second") << QString::number(app::secondsLeft(0.5, 0.5).has_value()) << "0";
    QTest::newRow("estimate") << QString::number(*app::secondsLeft(0.25, 10)) << "30";
}

void ProgressBarSinkTest::texts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

QTEST_MAIN(ProgressBarSinkTest)
#include "test_progress_bar_sink.moc"
