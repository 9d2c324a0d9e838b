// SPDX-License-Identifier: GPL-3.0-or-later
// Switching the interface language: the caption table applied, file names dropped, dialog titles.
#include "form_access.h"

#include "app/form/caption_table.h"
#include "app/form/desktop_language.h"
#include "app/form/tform1.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>

using apptest::control;

namespace {

void choose(app::TForm1 &form, app::Language language)
{
    apptest::showPageOf(form, "RadioButton3");
    apptest::click(form, language == app::Language::English ? "RadioButton4" : "RadioButton3");
}

// What a screen reader says of a control; of an editable combo box, what it says of the text field
// that takes the focus (Qt on Linux names the box itself by its text).
QString spokenText(QWidget *widget, QAccessible::Text text = QAccessible::Name)
{
    if (auto *combo = qobject_cast<QComboBox *>(widget); combo && combo->lineEdit())
        widget = combo->lineEdit();
    return QAccessible::queryAccessibleInterface(widget)->text(text);
}

} // namespace

class LanguageTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir::setCurrent(QDir::tempPath()); }
    void everyRowIsApplied();
    void startsInTheDesktopsLanguage_data();
    void startsInTheDesktopsLanguage();
    void backToRussianDropsTheLayoutsOwnCaptions();
    void fileNamesAreLostOnASwitch_data();
    void fileNamesAreLostOnASwitch();
    void otherFieldsAreKept();
    void clickingTheShownLanguageDoesNothing_data();
    void clickingTheShownLanguageDoesNothing();
    void fixedCaptionsStay();
    void dialogTitles_data();
    void dialogTitles();
    void everyControlHasASpokenName();
    void spokenNames_data();
    void spokenNames();
};

void LanguageTest::everyRowIsApplied()
{
    app::TForm1 form;
    choose(form, app::Language::English);
    for (const app::ControlRow &row : app::controlTable()) {
        if (row.switches())
            QCOMPARE(apptest::shownCaption(form, row), row.caption(app::Language::English));
    }
    // Qt's own texts follow: the file dialog's and the context menus'.
    QCOMPARE(QFileDialog::tr("Look in:"), QStringLiteral("Look in:"));
    choose(form, app::Language::Russian);
    for (const app::ControlRow &row : app::controlTable()) {
        if (row.switches())
            QCOMPARE(apptest::shownCaption(form, row), row.caption(app::Language::Russian));
    }
    QVERIFY(form.qtTranslation().installed());
    QCOMPARE(QFileDialog::tr("Look in:"), QStringLiteral("Перейти к:"));
    QCOMPARE(QLineEdit::tr("&Paste"), QStringLiteral("В&ставить"));
}

void LanguageTest::startsInTheDesktopsLanguage_data()
{
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<bool>("english");
    QTest::newRow("Russian desktop") << QStringList{"ru-RU", "en-US"} << false;
    QTest::newRow("Russian without a country") << QStringList{"ru"} << false;
    QTest::newRow("English desktop") << QStringList{"en-US", "ru-RU"} << true;
    QTest::newRow("neither") << QStringList{"de-DE"} << true;
    QTest::newRow("none") << QStringList{} << true;
}

// The About page still switches; the title is the layout's own, as no switch has been made.
void LanguageTest::startsInTheDesktopsLanguage()
{
    QFETCH(QStringList, uiLanguages);
    QFETCH(bool, english);
    const app::Language language = app::desktopLanguage(uiLanguages);
    QCOMPARE(language, english ? app::Language::English : app::Language::Russian);
    app::TForm1 form(language);
    QCOMPARE(form.language(), language);
    QCOMPARE(form.windowTitle(), QStringLiteral("Skarvel 0008"));
    QCOMPARE(control<QLabel>(form, "Label1")->text(),
             english ? QStringLiteral("File-key") : QStringLiteral("Файл-ключ"));
    QCOMPARE(form.qtTranslation().installed(), !english);
    choose(form, english ? app::Language::Russian : app::Language::English);
    QCOMPARE(form.language(), english ? app::Language::Russian : app::Language::English);
}

void LanguageTest::backToRussianDropsTheLayoutsOwnCaptions()
{
    app::TForm1 form;
    choose(form, app::Language::English);
    choose(form, app::Language::Russian);
    QCOMPARE(control<QLabel>(form, "Label2")->text(), QStringLiteral("Не создавать части №"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Skarvel 0007"));
    // The label follows its shorter caption.
    QCOMPARE(control<QLabel>(form, "Label2")->width(), control<QLabel>(form, "Label2")->sizeHint().width());
}

void LanguageTest::fileNamesAreLostOnASwitch_data()
{
    QTest::addColumn<bool>("toEnglish");
    QTest::addColumn<QString>("left");
    QTest::newRow("to English") << true << "";
    QTest::newRow("back to Russian") << false << "Файл";
}

void LanguageTest::fileNamesAreLostOnASwitch()
{
    QFETCH(bool, toEnglish);
    QFETCH(QString, left);
    app::TForm1 form;
    if (!toEnglish)
        choose(form, app::Language::English);
    control<QLineEdit>(form, "Edit5")->setText(QStringLiteral("/data/source.bin"));
    control<QLineEdit>(form, "Edit3")->setText(QStringLiteral("/data/secret.bin"));
    choose(form, toEnglish ? app::Language::English : app::Language::Russian);
    QCOMPARE(control<QLineEdit>(form, "Edit5")->text(), left);
    QCOMPARE(control<QLineEdit>(form, "Edit3")->text(), left);
}

void LanguageTest::otherFieldsAreKept()
{
    app::TForm1 form;
    control<QLineEdit>(form, "Edit2")->setText(QStringLiteral("/out"));
    control<QLineEdit>(form, "Edit4")->setText(QStringLiteral("/key"));
    control<QLineEdit>(form, "Edit6")->setText(QStringLiteral("1 3"));
    form.openDialog().setNextAnswer({QStringLiteral("/in")});
    apptest::click(form, "Button3");
    choose(form, app::Language::English);
    QCOMPARE(control<QLineEdit>(form, "Edit2")->text(), QStringLiteral("/out"));
    QCOMPARE(control<QLineEdit>(form, "Edit4")->text(), QStringLiteral("/key"));
    QCOMPARE(control<QLineEdit>(form, "Edit6")->text(), QStringLiteral("1 3"));
    QCOMPARE(control<QListWidget>(form, "ListBox1")->count(), 1);
}

void LanguageTest::clickingTheShownLanguageDoesNothing_data()
{
    QTest::addColumn<bool>("english");
    QTest::newRow("Russian shown") << false;
    QTest::newRow("English shown") << true;
}

void LanguageTest::clickingTheShownLanguageDoesNothing()
{
    QFETCH(bool, english);
    app::TForm1 form;
    if (english)
        choose(form, app::Language::English);
    const QString title = form.windowTitle();
    const QString label = control<QLabel>(form, "Label2")->text();
    control<QLineEdit>(form, "Edit5")->setText(QStringLiteral("/kept/source"));
    control<QLineEdit>(form, "Edit3")->setText(QStringLiteral("/kept/data"));
    choose(form, english ? app::Language::English : app::Language::Russian);
    QCOMPARE(form.windowTitle(), title); // still "Skarvel 0008" in Russian: nothing was applied
    QCOMPARE(control<QLabel>(form, "Label2")->text(), label);
    QCOMPARE(control<QLineEdit>(form, "Edit5")->text(), QStringLiteral("/kept/source"));
    QCOMPARE(control<QLineEdit>(form, "Edit3")->text(), QStringLiteral("/kept/data"));
}

void LanguageTest::fixedCaptionsStay()
{
    app::TForm1 form;
    choose(form, app::Language::English);
    for (const app::ControlRow &row : app::controlTable()) {
        if (row.hasCaption() && !row.switches())
            QCOMPARE(apptest::shownCaption(form, row), row.startupCaption());
    }
}

void LanguageTest::dialogTitles_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("selection");
    using S = app::FileDialog::Selection;
    const struct {
        const char *button;
        const char *russian;
        const char *english;
        S selection;
    } rows[] = {
        {"Button1", "Открытие файла", "Open file", S::One},
        {"Button10", "Открытие файла", "Open file", S::One},
        {"Button14", "Открытие файла", "Open file", S::One},
        {"Button3", "Открытие файлов", "Open files", S::Several},
        {"Button6", "Сохранение файла", "Save file", S::AnyName},
    };
    for (const auto &row : rows) {
        for (bool english : {false, true}) {
            QTest::addRow("%s %s", row.button, english ? "en" : "ru")
                << QString::fromLatin1(row.button) << english << QString::fromUtf8(english ? row.english : row.russian)
                << int(row.selection);
        }
    }
}

// The title is read when the dialog opens, so a switch between two uses changes the second.
void LanguageTest::dialogTitles()
{
    QFETCH(QString, button);
    QFETCH(bool, english);
    QFETCH(QString, title);
    QFETCH(int, selection);
    app::TForm1 form;
    choose(form, english ? app::Language::English : app::Language::Russian);
    form.openDialog().setNextAnswer({});
    apptest::showPageOf(form, qPrintable(button));
    apptest::click(form, qPrintable(button));
    QCOMPARE(form.openDialog().lastTitle(), title);
    QCOMPARE(int(*form.openDialog().lastSelection()), selection);
    QCOMPARE(form.openDialog().lastFilter(), english ? QStringLiteral("All (*)") : QStringLiteral("Все (*)"));
}

// What a screen reader is told of every control it can meet, in both languages: a name, and for
// the window the role of a frame.
void LanguageTest::everyControlHasASpokenName()
{
    app::TForm1 form;
    QCOMPARE(QAccessible::queryAccessibleInterface(&form)->role(), QAccessible::Window);
    auto *pages = control<QTabWidget>(form, "TabbedNotebook2");
    for (const auto language : {app::Language::English, app::Language::Russian}) {
        choose(form, language);
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            for (QWidget *widget : form.findChildren<QWidget *>()) {
                // Containers and the controls' own parts ("qt_...") speak through what they hold.
                const QMetaObject *kind = widget->metaObject();
                if (widget->objectName().isEmpty() || widget->objectName().startsWith(QLatin1String("qt_"))
                    || kind == &QWidget::staticMetaObject || kind == &QFrame::staticMetaObject
                    || kind == &QStackedWidget::staticMetaObject || !widget->isVisibleTo(&form))
                    continue;
                QVERIFY2(!spokenText(widget).isEmpty(), qPrintable(widget->objectName()));
            }
        }
    }
}

void LanguageTest::spokenNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("+ ru") << "Button11" << false << "Зашифровать: прибавить ключ к файлу";
    QTest::newRow("- en") << "Button13" << true << "Decipher: subtract the key from the file";
    QTest::newRow("label as buddy") << "Edit6" << true << "Don`t create #";
    QTest::newRow("radio caption") << "SpinEdit1" << true << "By quantity";
    QTest::newRow("unit box") << "ComboBox1" << false << "Единица размера";
    QTest::newRow("list keys, a hint") << "ListBox1" << true
                                       << "Delete removes the chosen file from the list; Ctrl+Up, Ctrl+Down move it";
}

void LanguageTest::spokenNames()
{
    QFETCH(QString, name);
    QFETCH(bool, english);
    QFETCH(QString, spoken);
    app::TForm1 form;
    choose(form, app::Language::English);
    if (!english)
        choose(form, app::Language::Russian);
    const auto text = name == QLatin1String("ListBox1") ? QAccessible::Description : QAccessible::Name;
    QCOMPARE(spokenText(control(form, qPrintable(name)), text), spoken);
}

QTEST_MAIN(LanguageTest)
#include "test_tform1_language.moc"
