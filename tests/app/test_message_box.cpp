// SPDX-License-Identifier: GPL-3.0-or-later
// The two failure boxes: captions, icons, buttons, modality, texts.
#include "app/message_box.h"
#include "fileio/failure.h"
#include "ops/report_error.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using Kind = app::MessageBox::Kind;

class MessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    void reportErrorBox();
    void defaultErrorBox();
    void failureChoosesTheBox_data();
    void failureChoosesTheBox();
    void reportErrorLeavesTheWindowUsable();
};

void MessageBoxTest::reportErrorBox()
{
    auto box = app::MessageBox::makeBox(Kind::Report, QStringLiteral("Invalid file name"));
    QCOMPARE(box->windowTitle(), QStringLiteral("Error"));
    QCOMPARE(box->icon(), QMessageBox::NoIcon);
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box->parent(), nullptr);
    QCOMPARE(box->windowModality(), Qt::NonModal);
    QCOMPARE(box->text(), QStringLiteral("Invalid file name"));
}

void MessageBoxTest::defaultErrorBox()
{
    auto box = app::MessageBox::makeBox(Kind::ErrorBox, QStringLiteral("Disk full."));
    QCOMPARE(box->windowTitle(), QCoreApplication::applicationName());
    QCOMPARE(box->icon(), QMessageBox::Critical);
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box->windowModality(), Qt::ApplicationModal);
}

void MessageBoxTest::failureChoosesTheBox_data()
{
    QTest::addColumn<bool>("reported");
    QTest::addColumn<QString>("failureText");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shown");
    QTest::newRow("report") << true << "Invalid file size" << int(Kind::Report) << "Invalid file size";
    QTest::newRow("box adds the stop") << false << "Disk full" << int(Kind::ErrorBox) << "Disk full.";
    QTest::newRow("no second stop") << false << "Stream read error." << int(Kind::ErrorBox) << "Stream read error.";
    QTest::newRow("digit sorts after the stop") << false << "I/O error 22" << int(Kind::ErrorBox) << "I/O error 22.";
    QTest::newRow("path ending in a dash") << false << "Cannot open file /x-" << int(Kind::ErrorBox)
                                           << "Cannot open file /x-";
    QTest::newRow("')' sorts before the stop") << false << "ends with a bracket)" << int(Kind::ErrorBox)
                                               << "ends with a bracket)";
    QTest::newRow("nothing to end") << false << "" << int(Kind::ErrorBox) << "";
    QTest::newRow("UTF-8 bytes sort after the stop") << false << "Файл" << int(Kind::ErrorBox) << "Файл.";
}

void MessageBoxTest::failureChoosesTheBox()
{
    QFETCH(bool, reported);
    QFETCH(QString, failureText);
    QFETCH(int, kind);
    QFETCH(QString, shown);
    app::MessageBox boxes;
    boxes.setRecording(true);
    const std::string text = failureText.toStdString();
    if (reported)
        boxes.show(ops::ReportedFailure(text));
    else
        boxes.show(fileio::Failure(text));
    QCOMPARE(boxes.recorded().size(), std::size_t{1});
    QCOMPARE(int(boxes.recorded().front().kind), kind);
    QCOMPARE(boxes.recorded().front().text, shown);
}

// ReportError waits for its box, yet no window is blocked meanwhile.
void MessageBoxTest::reportErrorLeavesTheWindowUsable()
{
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QMessageBox *box = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (auto *candidate = qobject_cast<QMessageBox *>(top); candidate && candidate->isVisible())
                box = candidate;
        }
        QVERIFY(box);
        seen = true;
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(window.isEnabled());
        box->button(QMessageBox::Ok)->click();
    });
    app::MessageBox boxes;
    boxes.show(Kind::Report, QStringLiteral("Invalid file name"));
    QVERIFY(seen);
}

QTEST_MAIN(MessageBoxTest)
#include "test_message_box.moc"
