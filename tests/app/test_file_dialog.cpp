// SPDX-License-Identifier: GPL-3.0-or-later
// The file dialog wrapper: answers, the remembered file and the current directory.
#include "app/boxes/file_dialog.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QTest>

class FileDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir::setCurrent(QDir::tempPath()); }
    void okMovesTheCurrentDirectory();
    void cancelChangesNothing();
    void vanishedFolderLeavesTheDirectory();
};

void FileDialogTest::okMovesTheCurrentDirectory()
{
    testsupport::TempDir dir;
    app::FileDialog dialog;
    const QString file = QString::fromStdString(dir.file("chosen"));
    dialog.setNextAnswer({file});
    QCOMPARE(dialog.choose(nullptr, QStringLiteral("Open file"), app::FileDialog::Selection::One), QStringList{file});
    QCOMPARE(QDir::currentPath(), QString::fromStdString(dir.path()));
    QCOMPARE(dialog.lastChosen(), file);
    QCOMPARE(dialog.lastTitle(), QStringLiteral("Open file"));
}

void FileDialogTest::cancelChangesNothing()
{
    testsupport::TempDir dir;
    app::FileDialog dialog;
    dialog.setNextAnswer({QString::fromStdString(dir.file("first"))});
    dialog.choose(nullptr, QStringLiteral("t"), app::FileDialog::Selection::One);
    QDir::setCurrent(QDir::tempPath());
    dialog.setNextAnswer({});
    QVERIFY(dialog.choose(nullptr, QStringLiteral("t"), app::FileDialog::Selection::One).isEmpty());
    QCOMPARE(QDir::currentPath(), QDir::tempPath());
    QCOMPARE(dialog.lastChosen(), QString::fromStdString(dir.file("first")));
}

void FileDialogTest::vanishedFolderLeavesTheDirectory()
{
    app::FileDialog dialog;
    dialog.setNextAnswer({QStringLiteral("/no/such/folder/out")}); // a new name for the output
    dialog.choose(nullptr, {}, app::FileDialog::Selection::AnyName);
    QCOMPARE(QDir::currentPath(), QDir::tempPath());
    QCOMPARE(dialog.lastChosen(), QStringLiteral("/no/such/folder/out"));
}

QTEST_MAIN(FileDialogTest)
#include "test_file_dialog.moc"
