// SPDX-License-Identifier: GPL-3.0-or-later
// The controls' own handlers: key filters, the unit rule, enabling pairs, the list and its
// gestures, double-clicks, drops and stay on top.
#include "form_access.h"

#include "app/controls/list_box.h"
#include "app/controls/spin_edit.h"
#include "app/form/tform1.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include <functional>

using apptest::control;

namespace {

QStringList items(QWidget &form)
{
    QStringList texts;
    auto *list = control<QListWidget>(form, "ListBox1");
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

void fillList(app::TForm1 &form, const QStringList &files)
{
    form.openDialog().setNextAnswer(files);
    apptest::click(form, "Button3");
}

QPoint centreOf(QListWidget &list, int row)
{
    return list.visualItemRect(list.item(row)).center();
}

// Press on one row, move with the button held to another, release there (after `held`).
void dragInList(QListWidget &list, int from, int to, Qt::MouseButton button = Qt::LeftButton,
                const std::function<void()> &held = {})
{
    QWidget *viewport = list.viewport();
    QTest::mousePress(viewport, button, {}, centreOf(list, from));
    QMouseEvent move(QEvent::MouseMove, centreOf(list, to), viewport->mapToGlobal(centreOf(list, to)), Qt::NoButton,
                     button, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    if (held)
        held();
    QTest::mouseRelease(viewport, button, {}, centreOf(list, to));
}

// Types the text key by key, letters beyond ASCII as the keyboard layout would deliver them.
void type(QWidget *field, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(field, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void dropFiles(QWidget &target, const QStringList &files)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &file : files)
        urls << QUrl::fromLocalFile(file);
    data.setUrls(urls);
    const QPoint at = target.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &drop);
    QVERIFY(drop.isAccepted());
}

} // namespace

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    // Dialogs and drops move the current directory into folders the tests remove.
    void init() { QDir::setCurrent(QDir::tempPath()); }
    void keyFilter_data();
    void keyFilter();
    void clipboardShortcutsDoNothing_data();
    void clipboardShortcutsDoNothing();
    void contextMenuPasteIsUnfiltered();
    void unitRule_data();
    void unitRule();
    void unitChosenFromList();
    void modePairs();
    void markerBoxFollowsItsCheck();
    void spinTextOutOfRange_data();
    void spinTextOutOfRange();
    void addRemoveClear();
    void removeWithoutSelectionDoesNothing();
    void sortOnceThenAddAppends();
    void sortIsNatural_data();
    void sortIsNatural();
    void clearAllRestoresOutputName();
    void cancelledAddAddsNothing();
    void dragSwapsItems();
    void dragStartsPastTheDragDistance_data();
    void dragStartsPastTheDragDistance();
    void dragOnOneItemDoesNothing();
    void otherButtonSwapsSelectedWithItself();
    void rememberedIndexOutsideListDoesNothing();
    void listKeys();
    void doubleClickOpensTheDialog_data();
    void doubleClickOpensTheDialog();
    void listDoubleClickAdds();
    void dropFillsField_data();
    void dropFillsField();
    void dropAppendsToList();
    void saveDialogOpensBesideTheFirstItem();
    void stayOnTop();
};

void ControlsTest::keyFilter_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("size digits") << "Edit1"
                                 << "1024"
                                 << "1024";
    QTest::newRow("size letters") << "Edit1"
                                  << "abc"
                                  << "";
    QTest::newRow("size mixed") << "Edit1"
                                << "1k0 -2"
                                << "102";
    QTest::newRow("skip list") << "Edit6"
                               << "1 3-5"
                               << "1 3-5";
    QTest::newRow("skip letters") << "Edit6"
                                  << "1,a;3"
                                  << "13";
    QTest::newRow("skip cyrillic") << "Edit6"
                                   << "№2"
                                   << "2";
}

void ControlsTest::keyFilter()
{
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    app::TForm1 form;
    control<QRadioButton>(form, "RadioButton2")->click(); // Edit1 takes keys only when enabled
    auto *field = control<QLineEdit>(form, qPrintable(edit));
    type(field, typed);
    QCOMPARE(field->text(), kept);
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text(), kept.left(kept.size() - 1));
}

void ControlsTest::clipboardShortcutsDoNothing_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    for (const char *edit : {"Edit1", "Edit6"}) {
        const QByteArray name(edit);
        QTest::newRow(name + " ctrl+v") << edit << int(Qt::Key_V) << int(Qt::ControlModifier);
        QTest::newRow(name + " shift+insert") << edit << int(Qt::Key_Insert) << int(Qt::ShiftModifier);
        QTest::newRow(name + " ctrl+x") << edit << int(Qt::Key_X) << int(Qt::ControlModifier);
        QTest::newRow(name + " ctrl+z") << edit << int(Qt::Key_Z) << int(Qt::ControlModifier);
    }
}

void ControlsTest::clipboardShortcutsDoNothing()
{
    QFETCH(QString, edit);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    app::TForm1 form;
    control<QRadioButton>(form, "RadioButton2")->click();
    auto *field = control<QLineEdit>(form, qPrintable(edit));
    QTest::keyClicks(field, QStringLiteral("12"));
    QGuiApplication::clipboard()->setText(QStringLiteral("34"));
    QTest::keyClick(field, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(field->text(), QStringLiteral("12"));
}

void ControlsTest::contextMenuPasteIsUnfiltered()
{
    app::TForm1 form;
    auto *field = control<QLineEdit>(form, "Edit6");
    QGuiApplication::clipboard()->setText(QStringLiteral("x,y"));
    field->paste(); // what the context menu's Paste runs
    QCOMPARE(field->text(), QStringLiteral("x,y"));
}

void ControlsTest::unitRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("unit");
    QTest::newRow("kb in lower case") << "kb"
                                      << "byte";
    QTest::newRow("Kb key by key") << "Kb"
                                   << "byte";
    QTest::newRow("Mb key by key") << "Mb"
                                   << "byte";
    QTest::newRow("anything") << "x"
                              << "byte";
}

void ControlsTest::unitRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, unit);
    app::TForm1 form;
    control<QRadioButton>(form, "RadioButton2")->click();
    QTest::keyClicks(control(form, "Edit1"), QStringLiteral("10"));
    auto *box = control<QComboBox>(form, "ComboBox1");
    box->lineEdit()->selectAll();
    QTest::keyClicks(box, typed);
    QCOMPARE(box->currentText(), unit);
}

void ControlsTest::unitChosenFromList()
{
    app::TForm1 form;
    auto *box = control<QComboBox>(form, "ComboBox1");
    box->setEnabled(true);
    for (int index : {1, 2, 0}) {
        box->setCurrentIndex(index);
        QCOMPARE(box->currentText(), box->itemText(index));
    }
    // A preset writes its bytes into the size field; the unit is bytes.
    for (const auto &[index, bytes] : {std::pair{8, "4294967295"}, std::pair{3, "7000000"}}) {
        box->setCurrentIndex(index);
        emit box->activated(index);
        QCOMPARE(control<QLineEdit>(form, "Edit1")->text(), QString::fromLatin1(bytes));
        QCOMPARE(box->currentText(), QStringLiteral("byte"));
    }
}

void ControlsTest::modePairs()
{
    app::TForm1 form;
    auto *edit = control(form, "Edit1");
    auto *unit = control(form, "ComboBox1");
    auto *spin = control(form, "SpinEdit1");
    control<QRadioButton>(form, "RadioButton2")->click();
    QVERIFY(edit->isEnabled() && unit->isEnabled() && !spin->isEnabled());
    control<QRadioButton>(form, "RadioButton1")->click();
    QVERIFY(!edit->isEnabled() && !unit->isEnabled() && spin->isEnabled());
}

void ControlsTest::markerBoxFollowsItsCheck()
{
    app::TForm1 form;
    auto *check = control<QCheckBox>(form, "CheckBox3");
    auto *marker = control(form, "ComboBox2");
    check->click();
    QVERIFY(marker->isEnabled());
    check->click();
    QVERIFY(!marker->isEnabled());
}

void ControlsTest::spinTextOutOfRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("value");
    QTest::newRow("below the range") << "1" << 2;
    QTest::newRow("in range") << "17" << 17;
    QTest::newRow("empty reads as 2") << "" << 2;
    QTest::newRow("upper end") << "255" << 255;
    QTest::newRow("three digits above") << "300" << 255;
    QTest::newRow("999") << "999" << 255;
    QTest::newRow("more than an int") << "99999999999" << 255;
}

void ControlsTest::spinTextOutOfRange()
{
    QFETCH(QString, typed);
    QFETCH(int, value);
    app::TForm1 form;
    auto *spin = control<app::SpinEdit>(form, "SpinEdit1");
    spin->setValue(100);
    spin->selectAll();
    QTest::keyClick(spin, Qt::Key_Backspace);
    QTest::keyClicks(spin, typed);
    QCOMPARE(spin->valueOfText(), value); // what Cut reads, focus left or not
    spin->interpretText();                // what leaving the field does
    QCOMPARE(spin->value(), value);
}

void ControlsTest::addRemoveClear()
{
    app::TForm1 form;
    fillList(form, {QStringLiteral("/a/one"), QStringLiteral("/a/two"), QStringLiteral("/a/three")});
    QCOMPARE(items(form), QStringList({"/a/one", "/a/two", "/a/three"}));
    control<QListWidget>(form, "ListBox1")->setCurrentRow(1);
    apptest::click(form, "Button7");
    QCOMPARE(items(form), QStringList({"/a/one", "/a/three"}));
    apptest::click(form, "Button8");
    QVERIFY(items(form).isEmpty());
}

void ControlsTest::removeWithoutSelectionDoesNothing()
{
    app::TForm1 form;
    apptest::click(form, "Button7"); // empty list
    fillList(form, {QStringLiteral("/a/one"), QStringLiteral("/a/two")});
    apptest::click(form, "Button7");
    QCOMPARE(items(form), QStringList({"/a/one", "/a/two"}));
}

void ControlsTest::sortOnceThenAddAppends()
{
    app::TForm1 form;
    fillList(form, {QStringLiteral("/b"), QStringLiteral("/C"), QStringLiteral("/a")});
    apptest::click(form, "Button9");
    QCOMPARE(items(form), QStringList({"/a", "/b", "/C"})); // case-insensitive
    fillList(form, {QStringLiteral("/B0"), QStringLiteral("/0")});
    QCOMPARE(items(form), QStringList({"/a", "/b", "/C", "/B0", "/0"}));
}

void ControlsTest::sortIsNatural_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("parts by number") << QStringList{"/d/film10.avi", "/d/Film2.avi", "/d/film1.avi"}
                                     << QStringList{"/d/film1.avi", "/d/Film2.avi", "/d/film10.avi"};
    QTest::newRow("leading zeros, long runs") << QStringList{"/p.010", "/p.9", "/p.100000000000000000001", "/p.0011"}
                                              << QStringList{"/p.9", "/p.010", "/p.0011", "/p.100000000000000000001"};
    QTest::newRow("no digits") << QStringList{"/b_x", "/B-x", "/a"} << QStringList{"/a", "/b_x", "/B-x"};
    QTest::newRow("prefix first") << QStringList{"/ab1", "/ab", "/a"} << QStringList{"/a", "/ab", "/ab1"};
    const QString deep = QStringLiteral("/home/user/a/deep/folder/with/a/long/name/").repeated(3);
    QTest::newRow("long paths") << QStringList{deep + "part2", deep + "part1"}
                                << QStringList{deep + "part1", deep + "part2"};
    QTest::newRow("ё with е") << QStringList{"/ёлка", "/яблоко", "/ель"} << QStringList{"/ёлка", "/ель", "/яблоко"};
    QTest::newRow("Russian, numbers and case")
        << QStringList{"/Часть10", "/часть2", "/Часть1"} << QStringList{"/Часть1", "/часть2", "/Часть10"};
}

// The file chosen before sorting is the one chosen after, and every path is its item's hint.
void ControlsTest::sortIsNatural()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, sorted);
    app::TForm1 form;
    fillList(form, files);
    auto *list = control<QListWidget>(form, "ListBox1");
    QCOMPARE(list->textElideMode(), Qt::ElideMiddle);
    list->setCurrentRow(0);
    apptest::click(form, "Button9");
    QCOMPARE(items(form), sorted);
    QCOMPARE(list->currentItem()->text(), files.first());
    QVERIFY(list->currentItem()->isSelected());
    for (int i = 0; i < list->count(); ++i) {
        QCOMPARE(list->item(i)->toolTip(), sorted[i]);
        QVERIFY(list->visualItemRect(list->item(i)).width() <= list->viewport()->width()); // elided, not cut
    }
}

void ControlsTest::clearAllRestoresOutputName()
{
    app::TForm1 form;
    fillList(form, {QStringLiteral("/a")});
    auto *output = control<QLineEdit>(form, "Edit2");
    output->setText(QStringLiteral("/tmp/joined"));
    apptest::click(form, "Button5");
    QCOMPARE(output->text(), QStringLiteral("*.*"));
    QVERIFY(items(form).isEmpty());
}

void ControlsTest::cancelledAddAddsNothing()
{
    app::TForm1 form;
    fillList(form, {QStringLiteral("/a")});
    fillList(form, {});
    QCOMPARE(items(form), QStringList({"/a"}));
}

void ControlsTest::dragSwapsItems()
{
    app::TForm1 form;
    fillList(form, {QStringLiteral("/1"), QStringLiteral("/2"), QStringLiteral("/3"), QStringLiteral("/4")});
    apptest::showPageOf(form, "ListBox1");
    auto *list = control<QListWidget>(form, "ListBox1");
    dragInList(*list, 0, 2);
    QCOMPARE(items(form), QStringList({"/3", "/2", "/1", "/4"}));
    dragInList(*list, 3, 3); // released on the item pressed
    QCOMPARE(items(form), QStringList({"/3", "/2", "/1", "/4"}));
}

// A move shorter than the platform's drag distance is a slip, even onto the next item; past it, the
// two items a release would swap are shown before it.
void ControlsTest::dragStartsPastTheDragDistance_data()
{
    QTest::addColumn<int>("beyondDistance"); // the move less the drag distance, in pixels
    QTest::addColumn<bool>("swapped");
    QTest::newRow("a slip onto the next item") << -3 << false;
    QTest::newRow("the drag distance") << 0 << true;
    QTest::newRow("past it") << 3 << true;
}

void ControlsTest::dragStartsPastTheDragDistance()
{
    QFETCH(int, beyondDistance);
    QFETCH(bool, swapped);
    app::TForm1 form;
    fillList(form, {QStringLiteral("/1"), QStringLiteral("/2"), QStringLiteral("/3")});
    apptest::showPageOf(form, "ListBox1");
    auto *list = control<app::ListBox>(form, "ListBox1");
    const int distance = QApplication::startDragDistance();
    QApplication::setStartDragDistance((centreOf(*list, 1) - centreOf(*list, 0)).manhattanLength() - beyondDistance);
    bool shown = false;
    dragInList(*list, 0, 1, Qt::LeftButton, [&] { shown = list->pendingSwap() == std::pair{0, 1}; });
    QApplication::setStartDragDistance(distance);
    QCOMPARE(shown, swapped);
    QCOMPARE(items(form), swapped ? QStringList({"/2", "/1", "/3"}) : QStringList({"/1", "/2", "/3"}));
    QVERIFY(!list->pendingSwap());
}

void ControlsTest::dragOnOneItemDoesNothing()
{
    app::TForm1 form;
    fillList(form, {QStringLiteral("/only")});
    apptest::showPageOf(form, "ListBox1");
    auto *list = control<QListWidget>(form, "ListBox1");
    dragInList(*list, 0, 0);
    QCOMPARE(items(form), QStringList({"/only"}));
    // Nothing was remembered: with a second item, a release on it swaps the first (index 0).
    fillList(form, {QStringLiteral("/next")});
    list->setCurrentRow(1);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centreOf(*list, 1));
    QCOMPARE(items(form), QStringList({"/next", "/only"}));
}

void ControlsTest::otherButtonSwapsSelectedWithItself()
{
    app::TForm1 form;
    fillList(form, {QStringLiteral("/1"), QStringLiteral("/2"), QStringLiteral("/3")});
    apptest::showPageOf(form, "ListBox1");
    auto *list = control<QListWidget>(form, "ListBox1");
    list->setCurrentRow(1);
    dragInList(*list, 0, 2, Qt::RightButton);
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(items(form), QStringList({"/1", "/2", "/3"}));
}

void ControlsTest::rememberedIndexOutsideListDoesNothing()
{
    app::TForm1 form;
    fillList(form, {QStringLiteral("/1"), QStringLiteral("/2"), QStringLiteral("/3")});
    apptest::showPageOf(form, "ListBox1");
    auto *list = control<QListWidget>(form, "ListBox1");
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, centreOf(*list, 2)); // remembers 2
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centreOf(*list, 2));
    apptest::click(form, "Button7"); // removes item 2: the remembered index is gone
    list->setCurrentRow(0);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centreOf(*list, 0));
    QCOMPARE(items(form), QStringList({"/1", "/2"}));
}

// The chosen file moves with Ctrl+Up and Ctrl+Down, no further than the list's ends, and stays
// chosen; Delete removes it.
void ControlsTest::listKeys()
{
    app::TForm1 form;
    fillList(form, {QStringLiteral("/1"), QStringLiteral("/2"), QStringLiteral("/3")});
    auto *list = control<QListWidget>(form, "ListBox1");
    list->setCurrentRow(1);
    for (int press = 0; press < 2; ++press)
        QTest::keyClick(list, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(items(form), QStringList({"/2", "/1", "/3"}));
    for (int press = 0; press < 3; ++press)
        QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(items(form), QStringList({"/1", "/3", "/2"}));
    QCOMPARE(list->currentRow(), 2);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(items(form), QStringList({"/1", "/3"}));
}

void ControlsTest::doubleClickOpensTheDialog_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("title");
    QTest::newRow("source") << "Edit5"
                            << "Edit5"
                            << "Открытие файла";
    QTest::newRow("output") << "Edit2"
                            << "Edit2"
                            << "Сохранение файла";
    QTest::newRow("data") << "Edit3"
                          << "Edit3"
                          << "Открытие файла";
    QTest::newRow("key") << "Edit4"
                         << "Edit4"
                         << "Открытие файла";
}

void ControlsTest::doubleClickOpensTheDialog()
{
    QFETCH(QString, field);
    QFETCH(QString, target);
    QFETCH(QString, title);
    testsupport::TempDir dir;
    const QString file = QString::fromStdString(dir.file("chosen.bin"));
    app::TForm1 form;
    form.openDialog().setNextAnswer({file});
    QTest::mouseDClick(control(form, qPrintable(field)), Qt::LeftButton);
    QCOMPARE(form.openDialog().lastTitle(), title);
    QCOMPARE(control<QLineEdit>(form, qPrintable(target))->text(), file);
}

void ControlsTest::listDoubleClickAdds()
{
    app::TForm1 form;
    apptest::showPageOf(form, "ListBox1");
    form.openDialog().setNextAnswer({QStringLiteral("/a"), QStringLiteral("/b")});
    QTest::mouseDClick(control<QListWidget>(form, "ListBox1")->viewport(), Qt::LeftButton);
    QCOMPARE(form.openDialog().lastTitle(), QStringLiteral("Открытие файлов"));
    QCOMPARE(items(form), QStringList({"/a", "/b"}));
}

void ControlsTest::dropFillsField_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("source") << "Edit5";
    QTest::newRow("output") << "Edit2"; // the path, not "*.*" followed by the link's text
    QTest::newRow("data") << "Edit3";
    QTest::newRow("key") << "Edit4";
}

void ControlsTest::dropFillsField()
{
    QFETCH(QString, field);
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("dropped.bin"), std::string("x"));
    const QString file = QString::fromStdString(dir.file("dropped.bin"));
    testsupport::ScopedCurrentDir keep("/");
    app::TForm1 form;
    dropFiles(*control(form, qPrintable(field)), {file});
    QCOMPARE(control<QLineEdit>(form, qPrintable(field))->text(), file);
    QCOMPARE(QDir::currentPath(), QString::fromStdString(dir.path())); // as if chosen in the dialog
    QCOMPARE(form.openDialog().lastChosen(), file);
}

void ControlsTest::dropAppendsToList()
{
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("a"), std::string("a"));
    testsupport::writeFile(dir.file("b"), std::string("b"));
    testsupport::ScopedCurrentDir keep("/");
    app::TForm1 form;
    fillList(form, {QStringLiteral("/first")});
    const QString a = QString::fromStdString(dir.file("a"));
    const QString b = QString::fromStdString(dir.file("b"));
    dropFiles(*control<QListWidget>(form, "ListBox1")->viewport(), {a, b});
    QCOMPARE(items(form), QStringList({"/first", a, b}));
    QCOMPARE(QDir::currentPath(), QString::fromStdString(dir.path()));
}

// Never at the file chosen last, an input or the key: confirming it would make it the output.
void ControlsTest::saveDialogOpensBesideTheFirstItem()
{
    app::TForm1 form;
    apptest::showPageOf(form, "Button6");
    form.openDialog().setNextAnswer({QStringLiteral("/keys/key.bin")});
    apptest::click(form, "Button14");
    for (const QString &folder : {QDir::tempPath(), QStringLiteral("/parts")}) {
        if (folder != QDir::tempPath()) // an empty list: the current directory
            fillList(form, {QStringLiteral("/parts/film.001"), QStringLiteral("/elsewhere/film.002")});
        QDir::setCurrent(QDir::tempPath());
        form.openDialog().setNextAnswer({});
        apptest::click(form, "Button6");
        QCOMPARE(form.openDialog().lastFolder(), folder);
        QCOMPARE(form.openDialog().lastName(), QString());
    }
}

// Ticked and unticked from the keyboard: the window stays the one it was, and the keyboard's focus
// stays on the check box, from where Tab goes on.
void ControlsTest::stayOnTop()
{
    app::TForm1 form;
    auto *check = control<QCheckBox>(form, "CheckBox4");
    apptest::showPageOf(form, "CheckBox4");
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const QWindow *window = form.windowHandle();
    check->setFocus(Qt::TabFocusReason);
    for (const bool on : {true, false}) {
        QTest::keyClick(check, Qt::Key_Space);
        QCOMPARE(bool(form.windowFlags() & Qt::WindowStaysOnTopHint), on);
        QCOMPARE(bool(window->flags() & Qt::WindowStaysOnTopHint), on);
        QCOMPARE(form.windowHandle(), window);
        QCOMPARE(QApplication::focusWidget(), check);
        QVERIFY(form.isActiveWindow());
    }
    QTest::keyClick(check, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control(form, "RadioButton3"));
}

QTEST_MAIN(ControlsTest)
#include "test_tform1_controls.moc"
