// SPDX-License-Identifier: GPL-3.0-or-later
// The failure boxes and the questions: captions, icons, buttons, modality, texts and details.
#include "app/failure_details.h"
#include "app/message_box.h"
#include "app/qt_translation.h"
#include "fileio/failure.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cerrno>

using Kind = app::MessageBox::Kind;

class MessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    void reportErrorBox();
    void defaultErrorBox();
    void failureChoosesTheBox_data();
    void failureChoosesTheBox();
    void questions();
    void failureDetails();
    void boxIsAWindowModalChildWithItsWholeTitle();
};

void MessageBoxTest::reportErrorBox()
{
    QWidget owner;
    auto box = app::MessageBox::makeBox(Kind::Report, QStringLiteral("Invalid file name"), {}, &owner);
    QCOMPARE(box->windowTitle(), QStringLiteral("Error"));
    QCOMPARE(box->icon(), QMessageBox::NoIcon);
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box->parent(), &owner);
    QCOMPARE(box->windowModality(), Qt::WindowModal);
    QCOMPARE(box->text(), QStringLiteral("Invalid file name"));
}

void MessageBoxTest::defaultErrorBox()
{
    auto box = app::MessageBox::makeBox(Kind::ErrorBox, QStringLiteral("Disk full."));
    QCOMPARE(box->windowTitle(), QCoreApplication::applicationName());
    QCOMPARE(box->icon(), QMessageBox::Critical);
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box->windowModality(), Qt::WindowModal);
}

// No is the default and the answer of a closed box; in tests the queued answers stand for the user.
void MessageBoxTest::questions()
{
    auto box = app::MessageBox::makeBox(Kind::Question, QStringLiteral("Replace?"));
    QCOMPARE(box->windowTitle(), QCoreApplication::applicationName());
    QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box->defaultButton(), box->escapeButton());
    QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
    app::MessageBox boxes;
    boxes.setRecording(true);
    boxes.setNextAnswer(app::MessageBox::Answer::Yes);
    QCOMPARE(boxes.ask(QStringLiteral("First?")), app::MessageBox::Answer::Yes);
    QCOMPARE(boxes.ask(QStringLiteral("Second?")), app::MessageBox::Answer::No); // the queue is empty
    QCOMPARE(int(boxes.recorded().back().kind), int(Kind::Question));
}

// The file and the reason, the reason in the interface language where Qt translates it.
void MessageBoxTest::failureDetails()
{
    app::QtTranslation translation;
    translation.apply(app::Language::Russian);
    QCOMPARE(app::failureDetails("/d/out", ENOSPC, app::Language::Russian),
             QStringLiteral("/d/out: Нет свободного места на устройстве"));
    translation.apply(app::Language::English);
    QCOMPARE(app::failureDetails("/d/out", ENOSPC, app::Language::English),
             QStringLiteral("/d/out: No space left on device"));
    QCOMPARE(app::failureDetails("", EIO, app::Language::English), QStringLiteral("Input/output error"));
    QCOMPARE(app::failureDetails("", 0, app::Language::English), QString()); // no details at all
}

void MessageBoxTest::failureChoosesTheBox_data()
{
    QTest::addColumn<int>("failureKind");
    QTest::addColumn<QString>("failureText");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shown");
    QTest::newRow("report") << int(fileio::FailureKind::Report) << "Invalid file size" << int(Kind::Report)
                            << "Invalid file size";
    QTest::newRow("box adds the stop") << int(fileio::FailureKind::ErrorBox) << "Disk full" << int(Kind::ErrorBox)
                                       << "Disk full.";
    QTest::newRow("no second stop") << int(fileio::FailureKind::ErrorBox) << "Stream read error." << int(Kind::ErrorBox)
                                    << "Stream read error.";
    QTest::newRow("digit sorts after the stop")
        << int(fileio::FailureKind::ErrorBox) << "I/O error 22" << int(Kind::ErrorBox) << "I/O error 22.";
    QTest::newRow("path ending in a dash") << int(fileio::FailureKind::ErrorBox) << "Cannot open file /x-"
                                           << int(Kind::ErrorBox) << "Cannot open file /x-";
}

void MessageBoxTest::failureChoosesTheBox()
{
    QFETCH(int, failureKind);
    QFETCH(QString, failureText);
    QFETCH(int, kind);
    QFETCH(QString, shown);
    app::MessageBox boxes;
    boxes.setRecording(true);
    boxes.show(fileio::Failure(fileio::FailureKind(failureKind), failureText.toStdString()));
    QCOMPARE(boxes.recorded().size(), std::size_t{1});
    QCOMPARE(int(boxes.recorded().front().kind), kind);
    QCOMPARE(boxes.recorded().front().text, shown);
}

// The box blocks its window only, stays its child, keeps its title whole, and is the only one.
void MessageBoxTest::boxIsAWindowModalChildWithItsWholeTitle()
{
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    app::MessageBox boxes(&window);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = true;
        QVERIFY(boxes.isOpen());
        QCOMPARE(box->parentWidget(), &window);
        QCOMPARE(box->windowModality(), Qt::WindowModal);
        QCOMPARE(box->detailedText(), QStringLiteral("/d/out: No space left on device"));
        const QFontMetrics title(QApplication::font("QMdiSubWindowTitleBar"));
        QVERIFY(box->width() >= title.horizontalAdvance(box->windowTitle()) + 100);
        box->button(QMessageBox::Ok)->click();
    });
    boxes.show(Kind::ErrorBox, QStringLiteral("Disk full."), QStringLiteral("/d/out: No space left on device"));
    QVERIFY(seen);
    QVERIFY(!boxes.isOpen());
}

QTEST_MAIN(MessageBoxTest)
#include "test_message_box.moc"
