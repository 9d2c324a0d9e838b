// SPDX-License-Identifier: GPL-3.0-or-later
// The window as it starts: every control of the table at its place with its first state and caption.
#include "form_access.h"

#include "app/form/time_of_day.h"
#include "app/form/tform1.h"

#include <QCheckBox>
#include <QApplication>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTest>
#include <QTime>

#include <algorithm>
#include <map>

using apptest::control;

namespace {

// The class each kind of row must be made of.
const char *classOf(app::ControlKind kind)
{
    using K = app::ControlKind;
    const std::map<K, const char *> classes{
        {K::Window, "QWidget"},        {K::Notebook, "QTabWidget"}, {K::Page, "QWidget"},
        {K::Bevel, "QFrame"},          {K::Radio, "QRadioButton"},  {K::Check, "QCheckBox"},
        {K::Button, "QPushButton"},    {K::Label, "QLabel"},        {K::Link, "QLabel"},
        {K::Picture, "QLabel"},        {K::Edit, "QLineEdit"},      {K::Spin, "QSpinBox"},
        {K::Combo, "QComboBox"},       {K::List, "QListWidget"},    {K::Memo, "QPlainTextEdit"},
        {K::Progress, "QProgressBar"},
    };
    return classes.at(kind);
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void window();
    void table_data();
    void table();
    void captionsFitTheirControls();
    void accessKeysDifferWithinAPage();
    void pages();
    void cutPageLists();
    void timeItemIsTheTimeOfDay();
    void timeOfDayFitsAnyFileName_data();
    void timeOfDayFitsAnyFileName();
    void progressBar();
    void aboutPage();
    void platformThemeLeavesTheLookAlone();
};

void StartupTest::window()
{
    app::TForm1 form;
    // The layout's own captions, which the first switch of language replaces.
    QCOMPARE(form.windowTitle(), QStringLiteral("Skarvel 0008"));
    QCOMPARE(control<QLabel>(form, "Label2")->text(), QStringLiteral("Не создавать части №:"));
    QCOMPARE(form.size(), QSize(435, 263));
    QCOMPARE(form.minimumSize(), form.maximumSize()); // no resizing
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(form.language(), app::Language::Russian);
    // The icon comes from the desktop's PNGs, built in: 16 pixels is that drawing, not a scaled one.
    const QImage drawing = QImage(QStringLiteral(":/skarvel/icons/16.png")).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!drawing.isNull());
    QCOMPARE(form.windowIcon().pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32), drawing);
}

void StartupTest::table_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(app::controlTable().size()); ++i)
        QTest::newRow(app::controlTable()[i].name) << i;
}

// Each row of the control table against the window built from it: the control is there under its
// name, of its kind, on its parent, at its place, with its start-up caption and state.
void StartupTest::table()
{
    QFETCH(int, index);
    const app::ControlRow &row = app::controlTable()[index];
    app::TForm1 form;
    QWidget *widget = row.kind == app::ControlKind::Window ? &form : control(form, row.name);
    QCOMPARE(widget->objectName(), QString::fromLatin1(row.name));
    QVERIFY2(widget->inherits(classOf(row.kind)), widget->metaObject()->className());
    if (row.parent)
        QVERIFY(control(form, row.parent)->isAncestorOf(widget));
    if (row.kind == app::ControlKind::Window) {
        QCOMPARE(form.size(), row.rect.size());
    } else if (row.kind == app::ControlKind::Page) {
        // Pages take their notebook's tabs in table order.
        const auto earlier = std::count_if(
            app::controlTable().begin(), app::controlTable().begin() + index, [&](const app::ControlRow &other) {
                return other.kind == row.kind && QLatin1String(other.parent) == QLatin1String(row.parent);
            });
        QCOMPARE(control<QTabWidget>(form, row.parent)->indexOf(widget), int(earlier));
    } else if (row.rect.isEmpty()) { // sized to its caption
        QCOMPARE(widget->geometry(), QRect(row.rect.topLeft(), widget->sizeHint()));
    } else {
        QCOMPARE(widget->geometry(), row.rect);
    }
    if (row.hasCaption())
        QCOMPARE(apptest::shownCaption(form, row), row.startupCaption());
    else if (auto *edit = qobject_cast<QLineEdit *>(widget))
        QCOMPARE(edit->text(), QString());
    QCOMPARE(widget->isEnabled(), row.state != app::StartState::Disabled);
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->isChecked(), row.state == app::StartState::Checked);
}

// A caption wider than its control would be cut off: the font is chosen so that none is, in
// either language.
void StartupTest::captionsFitTheirControls()
{
    app::TForm1 form;
    for (bool english : {false, true}) {
        control<QRadioButton>(form, english ? "RadioButton4" : "RadioButton3")->setChecked(true);
        for (QAbstractButton *button : form.findChildren<QAbstractButton *>()) {
            // A push button's hint has a minimum width of its own; its caption needs less.
            const int needed = qobject_cast<QPushButton *>(button)
                ? button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() + 4
                : button->sizeHint().width();
            QVERIFY2(
                needed <= button->width(),
                qPrintable(QStringLiteral("%1 %2 needs %3").arg(button->objectName(), button->text()).arg(needed)));
            // Nor may a check box's or radio button's indicator stick out of it.
            QStyleOptionButton option;
            option.initFrom(button);
            const auto indicator =
                qobject_cast<QCheckBox *>(button) ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator;
            if (!qobject_cast<QPushButton *>(button))
                QVERIFY2(button->rect().contains(button->style()->subElementRect(indicator, &option, button)),
                         qPrintable(button->objectName()));
        }
    }
}

// Alt and a letter presses one control of the page in sight, in either language.
void StartupTest::accessKeysDifferWithinAPage()
{
    app::TForm1 form;
    auto *pages = control<QTabWidget>(form, "TabbedNotebook2");
    for (bool english : {false, true}) {
        control<QRadioButton>(form, english ? "RadioButton4" : "RadioButton3")->setChecked(true);
        for (int page = 0; page < pages->count(); ++page) {
            QStringList keys;
            for (QAbstractButton *button : pages->widget(page)->findChildren<QAbstractButton *>()) {
                if (const QKeySequence key = QKeySequence::mnemonic(button->text()); !key.isEmpty()) {
                    QVERIFY2(!keys.contains(key.toString()), qPrintable(button->objectName()));
                    keys << key.toString();
                }
            }
            QVERIFY(keys.size() >= 3);
        }
    }
}

void StartupTest::pages()
{
    app::TForm1 form;
    auto *pages = control<QTabWidget>(form, "TabbedNotebook2");
    QCOMPARE(pages->count(), 4); // their titles and order: the table's rows
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(control<QTabWidget>(form, "TabbedNotebook1")->count(), 1);
}

void StartupTest::cutPageLists()
{
    app::TForm1 form;
    auto *spin = control<QSpinBox>(form, "SpinEdit1");
    QCOMPARE(spin->value(), 2);
    QCOMPARE(spin->minimum(), 2);
    QCOMPARE(spin->maximum(), 255);
    QVERIFY(spin->isEnabled());

    auto *unit = control<QComboBox>(form, "ComboBox1");
    QCOMPARE(unit->currentText(), QStringLiteral("byte"));
    QCOMPARE(unit->count(), 12); // the units, then the size presets
    QCOMPARE(unit->itemText(1), QStringLiteral("Kb"));
    QCOMPARE(unit->itemText(2), QStringLiteral("Mb"));
    QCOMPARE(unit->itemText(8), QStringLiteral("fat32"));
    QVERIFY(!unit->isEnabled());

    auto *marker = control<QComboBox>(form, "ComboBox2");
    QCOMPARE(marker->currentText(), QString());
    QCOMPARE(marker->count(), 3);
    QCOMPARE(marker->itemText(0), QStringLiteral("#"));
    QCOMPARE(marker->itemText(1), QStringLiteral("№"));
    QVERIFY(!marker->isEnabled());

    QCOMPARE(control<QListWidget>(form, "ListBox1")->count(), 0);
}

void StartupTest::timeItemIsTheTimeOfDay()
{
    const QTime before = QTime::currentTime();
    app::TForm1 form;
    const QTime after = QTime::currentTime();
    const QString item = control<QComboBox>(form, "ComboBox2")->itemText(2);
    QStringList accepted;
    for (QTime t = before.addMSecs(-before.msec()); t <= after; t = t.addSecs(1))
        accepted << QLatin1Char('(') + app::timeOfDayText(t) + QLatin1Char(')');
    QVERIFY2(accepted.contains(item), qPrintable(item));
}

// The item goes into part names: no ":" and no " PM", which FAT and Windows refuse.
void StartupTest::timeOfDayFitsAnyFileName_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("afternoon") << QTime(14, 5, 9) << "14-05-09";
    QTest::newRow("morning") << QTime(9, 5, 3) << "09-05-03";
}

void StartupTest::timeOfDayFitsAnyFileName()
{
    QFETCH(QTime, time);
    QFETCH(QString, text);
    QCOMPARE(app::timeOfDayText(time), text);
}

void StartupTest::progressBar()
{
    app::TForm1 form;
    auto *bar = control<QProgressBar>(form, "ProgressBar1");
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->value(), 0);
}

void StartupTest::aboutPage()
{
    app::TForm1 form;
    auto *memo = control<QPlainTextEdit>(form, "Memo2");
    QVERIFY(memo->isReadOnly());
    const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
    QVERIFY(lines.contains(QStringLiteral("Version 0008")));
    QVERIFY(lines.contains(QStringLiteral("Filesize: 266 Kb")));
    QVERIFY(!memo->toPlainText().contains(QStringLiteral("http")));
    QVERIFY(!control<QLabel>(form, "Image1")->pixmap().isNull());
    QVERIFY(control<QLabel>(form, "Label4")->font().underline());
    QCOMPARE(control(form, "Label4")->cursor().shape(), Qt::PointingHandCursor);
}

// What a platform theme such as qt6ct brings: its own proxy style and a large bold font per class.
// The window's tab spacing still reaches the drawing, its fonts stay, and captions fill with the
// page's colour.
void StartupTest::platformThemeLeavesTheLookAlone()
{
    const QString style = QApplication::style()->name();
    const QFont font = QApplication::font();
    QApplication::setStyle(new QProxyStyle(QStyleFactory::create(style)));
    for (const char *kind : {"QAbstractButton", "QLabel", "QTabBar"})
        QApplication::setFont(QFont(QStringLiteral("DejaVu Serif"), 14, QFont::Bold), kind);
    {
        app::TForm1 form;
        auto *compact = qobject_cast<QProxyStyle *>(form.style());
        QVERIFY(compact && !qobject_cast<QProxyStyle *>(compact->baseStyle())); // whose drawing calls back
        QCOMPARE(compact->baseStyle()->proxy(), compact);
        for (const QWidget *caption : form.findChildren<QAbstractButton *>())
            QVERIFY2(caption->font().pixelSize() == 10 && !caption->font().bold(), qPrintable(caption->objectName()));
        QCOMPARE(control(form, "Label2")->font(), control(form, "Edit6")->font());
        QCOMPARE(control(form, "CheckBox1")->backgroundRole(), QPalette::Window);
    }
    QApplication::setFont(font); // drops the fonts per class
    QApplication::setStyle(style);
}

QTEST_MAIN(StartupTest)
#include "test_tform1_startup.moc"
