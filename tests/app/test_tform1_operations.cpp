// SPDX-License-Identifier: GPL-3.0-or-later
// The action buttons run their operations on real files, chosen through the dialog, and show
// what the operations report.
#include "form_access.h"

#include "app/progress/busy_guard.h"
#include "app/progress/progress_bar.h"
#include "app/form/tform1.h"
#include "ops/part_name.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

using apptest::control;
using testsupport::Bytes;
using Kind = app::MessageBox::Kind;

namespace {

QString q(const std::string &path)
{
    return QString::fromStdString(path);
}

// A window whose boxes are recorded rather than shown.
struct Window {
    Window() { form.messageBox().setRecording(true); }

    // Answers the button's dialog with `files`, then presses the button.
    void choose(const char *button, const QStringList &files)
    {
        form.openDialog().setNextAnswer(files);
        press(button);
    }
    void press(const char *button) { control<QAbstractButton>(form, button)->click(); }
    QLineEdit &edit(const char *name) { return *control<QLineEdit>(form, name); }
    app::ProgressBar &bar() { return *control<app::ProgressBar>(form, "ProgressBar1"); }
    // Operations end only once `go` is set.
    void holdAtEndUntil(std::atomic<bool> &go)
    {
        form.runner().setHoldAtEnd([&go] {
            while (!go)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    }
    // Whether the line beside the bar tells what the last operation made, as `pattern` says.
    bool told(const char *pattern)
    {
        return QRegularExpression(QString::fromUtf8(pattern)).match(bar().text()).hasMatch();
    }
    const std::vector<app::MessageBox::Shown> &boxes() { return form.messageBox().recorded(); }

    app::TForm1 form;
};

Bytes join(const std::vector<Bytes> &pieces)
{
    Bytes all;
    for (const Bytes &piece : pieces)
        all.insert(all.end(), piece.begin(), piece.end());
    return all;
}

std::string part(const std::string &source, int n, const std::string &marker = {})
{
    return ops::PartFileName(source, marker, n);
}

// Writes "source.bin" of `size` pattern bytes into the folder and returns its path.
std::string writeSource(const testsupport::TempDir &dir, std::size_t size)
{
    testsupport::writeFile(dir.file("source.bin"), testsupport::patternBytes(size));
    return dir.file("source.bin");
}

} // namespace

class OperationsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir::setCurrent(QDir::tempPath()); }
    void currentDirectoryFollowsTheDialog();
    void cutByCount();
    void cutBySizeWritesTheSetBesideTheParts();
    void cutSkipsAndDeletes();
    void cutWithMarker();
    void cutFailures_data();
    void cutFailures();
    void uniteJoinsInShownOrder();
    void uniteAsksBeforeReplacing_data();
    void uniteAsksBeforeReplacing();
    void uniteIntoNewFolders();
    void uniteMissingInput();
    void codifyRoundTrip();
    void codifyWithoutKey();
    void eraseAsksFirst();
    void cutAsksBeforeReplacing();
    void escapeStopsAnOperation_data();
    void escapeStopsAnOperation();
    void eraseMissingFile();
    void busyWindowRefusesCloseAndInput();
    void secondPressWhileABoxIsOpen();
    void closeQuestionEndsWithTheOperation();
    void enterPressesThePagesButton_data();
    void enterPressesThePagesButton();
};

void OperationsTest::currentDirectoryFollowsTheDialog()
{
    testsupport::TempDir dir;
    QVERIFY(QDir().mkpath(q(dir.file("inner"))));
    Window w;
    w.choose("Button1", {q(dir.file("inner/source.bin"))});
    QCOMPARE(w.edit("Edit5").text(), q(dir.file("inner/source.bin")));
    QCOMPARE(QDir::currentPath(), q(dir.file("inner")));
    w.choose("Button14", {q(dir.file("key.bin"))});
    QCOMPARE(QDir::currentPath(), q(dir.path()));
}

void OperationsTest::cutByCount()
{
    testsupport::TempDir dir;
    const std::string source = dir.file("source.bin");
    const Bytes bytes = testsupport::patternBytes(1000);
    testsupport::writeFile(source, bytes);
    Window w;
    w.choose("Button1", {q(source)});
    control<QSpinBox>(w.form, "SpinEdit1")->setValue(3);
    w.press("Button2");

    QVERIFY(w.boxes().empty());
    QCOMPARE(join({testsupport::readFile(part(source, 1)), testsupport::readFile(part(source, 2)),
                   testsupport::readFile(part(source, 3))}),
             bytes);
    QVERIFY(testsupport::exists(source));
    QCOMPARE(w.bar().maximum(), 3);
    QCOMPARE(w.bar().value(), 0);
    // What was made, until the next key or click; no box.
    QVERIFY2(w.told("^3 части, 1000 Б, за \\d+ с$"), qPrintable(w.bar().text()));
    QTest::keyClick(&w.edit("Edit6"), Qt::Key_1);
    QCOMPARE(w.bar().text(), QString());
}

void OperationsTest::cutBySizeWritesTheSetBesideTheParts()
{
    testsupport::TempDir sources;
    testsupport::TempDir elsewhere;
    const std::string source = sources.file("movie.avi");
    testsupport::writeFile(source, testsupport::patternBytes(1000));
    Window w;
    w.choose("Button1", {q(source)});
    w.press("RadioButton2");
    QTest::keyClicks(&w.edit("Edit1"), QStringLiteral("300"));
    control<QCheckBox>(w.form, "CheckBox1")->setChecked(true);
    // The set lands beside the parts, wherever the last dialog left the current directory.
    w.choose("Button14", {q(elsewhere.file("key"))});
    w.press("Button2");

    QVERIFY(w.boxes().empty());
    QCOMPARE(w.bar().maximum(), 4);
    QCOMPARE(w.bar().value(), 0);
    QCOMPARE(testsupport::readFile(part(source, 4)).size(), std::size_t{100});
    const std::vector<std::string> set{"Recons.exe", "info.sha256", "info.txt",   "join.command", "movie.avi",
                                       "movie1.avi", "movie2.avi",  "movie3.avi", "movie4.avi",   "recons"};
    QCOMPARE(testsupport::listDir(sources.path()), set);
    QVERIFY(testsupport::listDir(elsewhere.path()).empty());
    const auto check = testsupport::runProgram("/usr/bin/sha256sum", {"-c", "info.sha256"}, sources.path());
    QCOMPARE(check.status, 0);
}

void OperationsTest::cutSkipsAndDeletes()
{
    testsupport::TempDir dir;
    const std::string source = writeSource(dir, 90);
    Window w;
    w.choose("Button1", {q(source)});
    control<QSpinBox>(w.form, "SpinEdit1")->setValue(3);
    QTest::keyClicks(&w.edit("Edit6"), QStringLiteral("2"));
    control<QCheckBox>(w.form, "CheckBox2")->setChecked(true);
    // The bytes of part 2 would exist nowhere: the user is asked first, and No keeps everything.
    w.press("Button2");
    QCOMPARE(w.boxes().size(), std::size_t{1});
    QCOMPARE(w.boxes().back().kind, Kind::Question);
    QVERIFY(w.boxes().back().text.contains(QStringLiteral("2")));
    QCOMPARE(testsupport::listDir(dir.path()), std::vector<std::string>{"source.bin"});
    w.form.messageBox().setNextAnswer(app::MessageBox::Answer::Yes);
    w.press("Button2");

    QCOMPARE(w.boxes().size(), std::size_t{2});
    QVERIFY(testsupport::exists(part(source, 1)));
    QVERIFY(!testsupport::exists(part(source, 2)));
    QVERIFY(testsupport::exists(part(source, 3)));
    QVERIFY(!testsupport::exists(source));
    QVERIFY2(w.told("^2 части, 60 Б, за "), qPrintable(w.bar().text())); // the part left out is not told
}

void OperationsTest::cutWithMarker()
{
    testsupport::TempDir dir;
    const std::string source = writeSource(dir, 10);
    Window w;
    w.choose("Button1", {q(source)});
    w.press("CheckBox3");
    control<QComboBox>(w.form, "ComboBox2")->setCurrentIndex(1); // "№"
    w.press("Button2");
    QVERIFY(w.boxes().empty());
    QVERIFY(testsupport::exists(part(source, 1, "№")));
    QVERIFY(testsupport::exists(part(source, 2, "№")));
}

void OperationsTest::cutFailures_data()
{
    QTest::addColumn<QString>("sizeText");
    QTest::addColumn<QString>("marker");
    QTest::addColumn<bool>("sourceMissing");
    QTest::addColumn<int>("sourceSize");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text"); // "%1" stands for the source's path
    QTest::newRow("missing source") << ""
                                    << "" << true << 0 << int(Kind::Report) << "Invalid file name";
    QTest::newRow("more parts than bytes") << ""
                                           << "" << false << 1 << int(Kind::Report) << "Invalid file size";
    // The default box adds the full stop; ReportError's texts go as they are.
    QTest::newRow("number too long") << "99999999999"
                                     << "" << false << 1000 << int(Kind::ErrorBox)
                                     << "'99999999999' is not a valid integer value.";
    QTest::newRow("part in a missing folder")
        << ""
        << "nodir/" << false << 1000 << int(Kind::ErrorBox) << "Cannot create file %1.";
}

void OperationsTest::cutFailures()
{
    QFETCH(QString, sizeText);
    QFETCH(QString, marker);
    QFETCH(bool, sourceMissing);
    QFETCH(int, sourceSize);
    QFETCH(int, kind);
    QFETCH(QString, text);
    testsupport::TempDir dir;
    const std::string source = dir.file("source.bin");
    const Bytes bytes = testsupport::patternBytes(sourceSize);
    if (!sourceMissing)
        testsupport::writeFile(source, bytes);
    Window w;
    w.edit("Edit5").setText(q(source));
    if (!sizeText.isEmpty()) {
        w.press("RadioButton2");
        QTest::keyClicks(&w.edit("Edit1"), sizeText);
    }
    if (!marker.isEmpty()) {
        w.press("CheckBox3");
        control<QComboBox>(w.form, "ComboBox2")->setEditText(marker);
    }
    w.press("Button2");

    QCOMPARE(w.boxes().size(), std::size_t{1});
    const app::MessageBox::Shown &box = w.boxes().front();
    QCOMPARE(int(box.kind), kind);
    QCOMPARE(box.caption, kind == int(Kind::Report) ? QStringLiteral("Error") : QCoreApplication::applicationName());
    QCOMPARE(box.text, text.contains(QLatin1String("%1")) ? text.arg(q(part(source, 1, marker.toStdString()))) : text);
    if (!sourceMissing)
        QCOMPARE(testsupport::readFile(source), bytes);
}

void OperationsTest::uniteJoinsInShownOrder()
{
    testsupport::TempDir dir;
    const Bytes a = testsupport::patternBytes(300, 1), b = testsupport::patternBytes(5, 2),
                c = testsupport::patternBytes(70000, 3);
    testsupport::writeFile(dir.file("a"), a);
    testsupport::writeFile(dir.file("b"), b);
    testsupport::writeFile(dir.file("c"), c);
    Window w;
    w.choose("Button3", {q(dir.file("c")), q(dir.file("a"))});
    w.choose("Button3", {q(dir.file("b"))});
    w.choose("Button6", {q(dir.file("joined"))}); // a name that does not exist yet
    QCOMPARE(w.edit("Edit2").text(), q(dir.file("joined")));
    w.press("Button4");

    QVERIFY(w.boxes().empty());
    QCOMPARE(testsupport::readFile(dir.file("joined")), join({c, a, b}));
    QVERIFY2(w.told("^Соединено: 3 файла, 68,7 КиБ, за "), qPrintable(w.bar().text()));
    QCOMPARE(w.bar().maximum(), 3);
    QCOMPARE(w.bar().value(), 0);
}

// An existing output is replaced only with the user's yes, however its name came: typed, or
// from the save dialog (which asked already); an empty list empties nothing.
void OperationsTest::uniteAsksBeforeReplacing_data()
{
    QTest::addColumn<bool>("fromDialog");
    QTest::newRow("typed") << false;
    QTest::newRow("chosen in the save dialog") << true;
}

void OperationsTest::uniteAsksBeforeReplacing()
{
    QFETCH(bool, fromDialog);
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("a"), std::string("abc"));
    testsupport::writeFile(dir.file("out"), std::string("mine"));
    Window w;
    if (fromDialog)
        w.choose("Button6", {q(dir.file("out"))});
    else
        w.edit("Edit2").setText(q(dir.file("out")));
    w.press("Button4"); // nothing to join
    QCOMPARE(w.boxes().size(), std::size_t{1});
    QCOMPARE(w.boxes().back().text, QStringLiteral("Invalid file name"));
    w.choose("Button3", {q(dir.file("a"))});
    w.press("Button4");
    QCOMPARE(w.boxes().size(), fromDialog ? std::size_t{1} : std::size_t{2});
    QCOMPARE(testsupport::readText(dir.file("out")), std::string(fromDialog ? "abc" : "mine"));
    if (!fromDialog) {
        QCOMPARE(w.boxes().back().kind, Kind::Question);
        w.form.messageBox().setNextAnswer(app::MessageBox::Answer::Yes);
        w.press("Button4");
        QCOMPARE(testsupport::readText(dir.file("out")), std::string("abc"));
    }
}

void OperationsTest::uniteIntoNewFolders()
{
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("a"), std::string("abc"));
    Window w;
    w.choose("Button3", {q(dir.file("a"))});
    w.edit("Edit2").setText(q(dir.file("new/deeper/joined")));
    w.press("Button4");
    QVERIFY(w.boxes().empty());
    QCOMPARE(testsupport::readText(dir.file("new/deeper/joined")), std::string("abc"));
}

void OperationsTest::uniteMissingInput()
{
    testsupport::TempDir dir;
    Window w;
    w.choose("Button3", {q(dir.file("gone"))});
    w.edit("Edit2").setText(q(dir.file("joined")));
    w.press("Button4");
    QCOMPARE(w.boxes().size(), std::size_t{1});
    QCOMPARE(w.boxes().front().text, QStringLiteral("Invalid file name"));
    QCOMPARE(w.boxes().front().caption, QStringLiteral("Error"));
    QCOMPARE(int(w.boxes().front().kind), int(Kind::Report));
}

void OperationsTest::codifyRoundTrip()
{
    testsupport::TempDir dir;
    const Bytes data = testsupport::patternBytes(5000, 4);
    const Bytes key = testsupport::patternBytes(7, 9);
    testsupport::writeFile(dir.file("data.bin"), data);
    testsupport::writeFile(dir.file("key.bin"), key);
    Window w;
    w.choose("Button10", {q(dir.file("data.bin"))});
    w.choose("Button14", {q(dir.file("key.bin"))});

    w.press("Button11");
    QVERIFY(w.boxes().empty());
    const Bytes coded = testsupport::readFile(dir.file("data.bin"));
    QCOMPARE(coded.size(), data.size());
    for (std::size_t i = 0; i < data.size(); ++i)
        QCOMPARE(coded[i], static_cast<unsigned char>(data[i] + key[i % key.size()]));
    QCOMPARE(w.bar().maximum(), 5000);
    QCOMPARE(w.bar().value(), 0);
    QVERIFY2(w.told("^Зашифровано: 4,9 КиБ, за "), qPrintable(w.bar().text()));

    w.press("Button13");
    QVERIFY(w.boxes().empty());
    QCOMPARE(testsupport::readFile(dir.file("data.bin")), data);
    QVERIFY(!testsupport::exists(dir.file("buff.vq")));
}

void OperationsTest::codifyWithoutKey()
{
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("data.bin"), std::string("plain"));
    Window w;
    w.choose("Button10", {q(dir.file("data.bin"))});
    w.press("Button11");
    QCOMPARE(w.boxes().size(), std::size_t{1});
    QCOMPARE(w.boxes().front().text, QStringLiteral("Invalid file name"));
    QCOMPARE(testsupport::readText(dir.file("data.bin")), std::string("plain"));
}

// Nothing undoes Erase: it asks, No being the answer a closed box gives.
void OperationsTest::eraseAsksFirst()
{
    testsupport::TempDir dir;
    const Bytes bytes = testsupport::patternBytes(3000);
    testsupport::writeFile(dir.file("secret"), bytes);
    Window w;
    w.choose("Button10", {q(dir.file("secret"))});
    w.press("Button12");
    QCOMPARE(w.boxes().size(), std::size_t{1});
    QCOMPARE(w.boxes().back().kind, Kind::Question);
    QVERIFY(w.boxes().back().text.contains(q(dir.file("secret"))));
    QCOMPARE(testsupport::readFile(dir.file("secret")), bytes);
    w.form.messageBox().setNextAnswer(app::MessageBox::Answer::Yes);
    w.press("Button12");
    QCOMPARE(w.boxes().size(), std::size_t{2});
    QVERIFY(!testsupport::exists(dir.file("secret")));
    QCOMPARE(w.bar().maximum(), 3000);
    QCOMPARE(w.bar().value(), 0);
}

// Files of the names a Cut writes are replaced only when the user says yes, asked once.
void OperationsTest::cutAsksBeforeReplacing()
{
    testsupport::TempDir dir;
    const std::string source = writeSource(dir, 100);
    testsupport::writeFile(part(source, 2), "mine");
    Window w;
    w.choose("Button1", {q(source)});
    w.press("Button2");
    QCOMPARE(w.boxes().size(), std::size_t{1});
    QVERIFY(w.boxes().back().text.contains(q(part(source, 2))));
    QCOMPARE(testsupport::listDir(dir.path()), (std::vector<std::string>{"source.bin", "source2.bin"}));
    w.form.messageBox().setNextAnswer(app::MessageBox::Answer::Yes);
    w.press("Button2");
    QCOMPARE(w.boxes().size(), std::size_t{2});
    QCOMPARE(testsupport::readFile(part(source, 2)).size(), std::size_t{50});
}

// Escape stops Cut, Unite and Codify midway: the inputs are whole, no partial file has an output's
// name, and the window says it stopped.
void OperationsTest::escapeStopsAnOperation_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("byButton"); // the operation's own button, reading "Stop" meanwhile
    QTest::newRow("cut") << "Button2" << false;
    QTest::newRow("unite") << "Button4" << false;
    QTest::newRow("codify") << "Button11" << false;
    QTest::newRow("cut, its button") << "Button2" << true;
    QTest::newRow("codify -, its button") << "Button13" << true;
    QTest::newRow("erase") << "Button12" << false; // the file kept, however far the zeros came
}

void OperationsTest::escapeStopsAnOperation()
{
    QFETCH(QString, operation);
    QFETCH(bool, byButton);
    constexpr qint64 kBig = qint64{1} << 30; // a sparse GiB: long enough to be stopped midway
    testsupport::TempDir dir;
    for (const char *name : {"big.bin", "key.bin"}) {
        QFile file(q(dir.file(name)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(name[0] == 'b' ? kBig : 7));
    }
    Window w;
    w.choose("Button1", {q(dir.file("big.bin"))});
    w.choose("Button3", {q(dir.file("big.bin")), q(dir.file("key.bin"))});
    w.choose("Button6", {q(dir.file("joined.bin"))});
    w.choose("Button10", {q(dir.file("big.bin"))});
    w.choose("Button14", {q(dir.file("key.bin"))});
    auto *button = control<QAbstractButton>(w.form, qPrintable(operation));
    const QString caption = button->text();
    QString running;
    bool othersGreyed = false;
    QTimer::singleShot(0, &w.form, [&] {
        running = button->text();
        othersGreyed = !control(w.form, "Button1")->isEnabled() && !control(w.form, "Button10")->isEnabled();
        if (byButton)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            QTest::keyClick(&w.form, Qt::Key_Escape);
    });
    const bool erase = operation == QStringLiteral("Button12");
    if (erase)
        w.form.messageBox().setNextAnswer(app::MessageBox::Answer::Yes);
    button->click();

    QCOMPARE(running, QStringLiteral("&Стоп"));
    QVERIFY(othersGreyed);
    QCOMPARE(button->text(), caption);
    QVERIFY(control(w.form, "Button1")->isEnabled());
    QCOMPARE(w.bar().value(), 0); // however far it came, as one that ran to its end
    QCOMPARE(w.bar().fraction(), 0.0);
    QCOMPARE(w.bar().text(), QString());

    QCOMPARE(w.boxes().size(), std::size_t{erase ? 2 : 1});
    QCOMPARE(w.boxes().back().kind, Kind::Information);
    QCOMPARE(testsupport::listDir(dir.path()), (std::vector<std::string>{"big.bin", "key.bin"}));
    QCOMPARE(QFileInfo(q(dir.file("big.bin"))).size(), kBig);
    QFile big(q(dir.file("big.bin")));
    QVERIFY(big.open(QIODevice::ReadOnly));
    QCOMPARE(big.read(4096), QByteArray(4096, '\0')); // not codified
}

void OperationsTest::eraseMissingFile()
{
    Window w;
    w.press("Button12"); // Edit3 still holds "Файл"
    QCOMPARE(w.boxes().size(), std::size_t{1});
    QCOMPARE(w.boxes().front().caption, QStringLiteral("Error"));
    QCOMPARE(w.boxes().front().text, QStringLiteral("Invalid file name"));
}

// While Cut runs, the window repaints but takes no clicks, and its close asks first.
void OperationsTest::busyWindowRefusesCloseAndInput()
{
    testsupport::TempDir dir;
    const std::string source = writeSource(dir, 100);
    Window w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.choose("Button3", {q(dir.file("listed"))});
    w.choose("Button1", {q(source)});

    std::atomic<bool> ran = false;
    bool busy = false, closed = true;
    w.holdAtEndUntil(ran); // the Cut is not over before its close is asked
    QTimer::singleShot(0, &w.form, [&] {
        busy = app::BusyGuard::active();
        closed = w.form.close();
        // A click on "Clear" arriving meanwhile is dropped, not run afterwards.
        auto *clear = control(w.form, "Button8");
        const QPointF at = clear->rect().center();
        QCoreApplication::postEvent(clear,
                                    new QMouseEvent(QEvent::MouseButtonPress, at, clear->mapToGlobal(at),
                                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(clear,
                                    new QMouseEvent(QEvent::MouseButtonRelease, at, clear->mapToGlobal(at),
                                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        ran = true;
    });
    w.press("Button2");
    QCoreApplication::processEvents();

    QVERIFY(ran);
    QVERIFY(busy);
    QVERIFY(!closed);
    QVERIFY(w.form.isVisible());
    QVERIFY(!app::BusyGuard::active());
    QCOMPARE(control<QListWidget>(w.form, "ListBox1")->count(), 1);
    QCOMPARE(w.boxes().back().kind, Kind::Question); // the close asked, and No kept it open

    // Yes stops the operation, and the window closes once it has; nothing is left half made.
    testsupport::TempDir other;
    w.choose("Button1", {q(writeSource(other, 100))});
    w.form.messageBox().setNextAnswer(app::MessageBox::Answer::Yes);
    QTimer::singleShot(0, &w.form, [&] { w.form.close(); });
    w.press("Button2");
    QVERIFY(!w.form.isVisible());
    QCOMPARE(w.boxes().back().kind, Kind::Question);
}

// The box is the window's child, and while it is open nothing starts: a second Cut press shows no
// second box.
void OperationsTest::secondPressWhileABoxIsOpen()
{
    Window w;
    w.form.messageBox().setRecording(false);
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    bool child = false, second = false;
    QTimer poll; // the box comes up after the operation has flushed its events
    poll.callOnTimeout([&] {
        auto *first = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!first || !poll.isActive())
            return;
        poll.stop();
        child = first->parentWidget() == &w.form;
        QTimer watch; // a second box would hold the press below until this closes it
        watch.callOnTimeout([&] {
            if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != first) {
                second = true;
                modal->close();
            }
        });
        watch.start(10);
        w.press("Button2");
        first->close();
    });
    poll.start(10);
    w.press("Button2"); // Edit5 holds "Файл": no such source
    QVERIFY(child);
    QVERIFY(!second);
}

// An operation that ends while the close question is open closes the question, and the window
// closes as asked.
void OperationsTest::closeQuestionEndsWithTheOperation()
{
    testsupport::TempDir dir;
    Window w;
    w.form.messageBox().setRecording(false);
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.choose("Button1", {q(writeSource(dir, 100))});
    std::atomic<bool> asked = false;
    w.holdAtEndUntil(asked);
    QTimer poll;
    poll.callOnTimeout([&] {
        if (qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            poll.stop();
            asked = true; // the Cut ends now, and nobody answers
        }
    });
    QTimer::singleShot(0, &w.form, [&] {
        poll.start(10);
        w.form.close();
    });
    w.press("Button2"); // a question left open holds it here
    QVERIFY(asked);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!w.form.isVisible());
    QCOMPARE(testsupport::readFile(part(dir.file("source.bin"), 2)).size(), std::size_t{50}); // it ran to its end
}

void OperationsTest::enterPressesThePagesButton_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("pressed"); // the box or dialog Enter brought up; empty: none
    // Edit5 holds "Файл", Edit2 the "*.*" placeholder, Edit3 "Файл": each run says "Invalid file name".
    for (const auto &[focus, pressed] : std::initializer_list<std::pair<const char *, const char *>>{
             {"Edit5", "Invalid file name"},
             {"SpinEdit1", "Invalid file name"},
             {"CheckBox2", "Invalid file name"},
             {"Button1", "Открытие файла"}, // the button that has the focus
             {"ListBox1", "Invalid file name"},
             {"Edit2", "Invalid file name"},
             {"Edit3", ""},
             {"Button12", ""},
             {"Button11", ""}}) // Security
        QTest::newRow(focus) << QString::fromLatin1(focus) << QString::fromUtf8(pressed);
}

// Enter presses the page's own button, or the one that has the focus; on the Security page nothing.
void OperationsTest::enterPressesThePagesButton()
{
    QFETCH(QString, focus);
    QFETCH(QString, pressed);
    Window w;
    w.form.openDialog().setNextAnswer({});
    apptest::showPageOf(w.form, qPrintable(focus));
    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    QWidget *focused = control(w.form, qPrintable(focus));
    focused->setFocus(Qt::TabFocusReason);
    QTest::keyClick(focused, Qt::Key_Return);
    const QString shown = w.boxes().empty() ? w.form.openDialog().lastTitle() : w.boxes().front().text;
    QCOMPARE(shown, pressed);
    QVERIFY(w.boxes().size() <= 1);
}

QTEST_MAIN(OperationsTest)
#include "test_tform1_operations.moc"
