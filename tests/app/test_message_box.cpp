// SPDX-License-Identifier: GPL-3.0-or-later
// The failure boxes and the questions: captions, icons, buttons, modality, texts and details.
#include "app/boxes/failure_details.h"
#include "app/boxes/message_box.h"
#include "fileio/failure.h"
#include "ops/report_error.h"

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
    void failureDetails_data();
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

void MessageBoxTest::failureDetails_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("why");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("details");
    QTest::newRow("no space, ru") << "/d/out" << ENOSPC << "" << false << "/d/out: Нет свободного места на устройстве";
    QTest::newRow("no space, en") << "/d/out" << ENOSPC << "" << true << "/d/out: No space left on device";
    QTest::newRow("read-only, ru") << "/d/out" << EROFS << "" << false
                                   << "/d/out: Файловая система доступна только для чтения";
    QTest::newRow("no details at all") << "" << 0 << "" << true << "";
    // The operation's own words come first, in the window's language.
    QTest::newRow("own reason, ru") << "/d/k" << 0 << "the data file and the key file are one file" << false
                                    << "/d/k: файл данных и файл-ключ — один и тот же файл";
    // Reasons with the user's numbers or character in them.
    QTest::newRow("FAT size, ru") << "/s/f" << 0
                                  << "parts of 4294967296 bytes do not fit a FAT file system (at most 4294967295 "
                                     "bytes a file): try --size fat32"
                                  << false
                                  << "/s/f: части по 4294967296 байт не поместятся в файловой системе FAT (в ней файл "
                                     "не больше 4294967295 байт): выберите размер fat32";
    QTest::newRow("FAT character, ru")
        << "/s/f" << 0
        << "the marker text holds Ctrl-A (0x01), which FAT and Windows file systems do not take in a name" << false
        << "/s/f: текст в именах частей содержит Ctrl-A (0x01), а файловые системы FAT и Windows не допускают его в "
           "именах";
    QTest::newRow("own reason the table lacks") << "/d/f" << 0 << "a new reason" << false << "/d/f: a new reason";
}

void MessageBoxTest::failureDetails()
{
    QFETCH(QString, path);
    QFETCH(int, error);
    QFETCH(QString, why);
    QFETCH(bool, english);
    QFETCH(QString, details);
    QCOMPARE(app::failureDetails(path.toStdString(), error, why.toStdString(),
                                 english ? app::Language::English : app::Language::Russian),
             details);
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
    QTest::newRow("path ending in a dash")
        << false << "Cannot open file /x-" << int(Kind::ErrorBox) << "Cannot open file /x-";
    QTest::newRow("')' sorts before the stop")
        << false << "ends with a bracket)" << int(Kind::ErrorBox) << "ends with a bracket)";
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
