// SPDX-License-Identifier: GPL-3.0-or-later
// The window as it starts: every control at its place with its first state, Russian captions.
#include "form_access.h"

#include "app/time_of_day.h"
#include "app/tform1.h"

#include <QCheckBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
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

using apptest::control;

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void window();
    void geometry_data();
    void geometry();
    void captionsFitTheirControls();
    void state_data();
    void state();
    void pages();
    void cutPageLists();
    void timeItemIsTheLocalesLongTime();
    void timeOfDayHasNoZone_data();
    void timeOfDayHasNoZone();
    void progressBar();
    void aboutPage();
    void platformThemeLeavesTheLookAlone();
};

void StartupTest::window()
{
    app::TForm1 form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Skarvel 0008"));
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

void StartupTest::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    const struct {
        const char *name;
        QRect rect;
    } rows[] = {
        {"TabbedNotebook2", {0, 0, 298, 245}},
        {"TabbedNotebook1", {298, 0, 137, 245}},
        {"ProgressBar1", {0, 245, 435, 18}},
        // Cut
        {"RadioButton1", {7, 0, 122, 14}},
        {"SpinEdit1", {80, 20, 53, 22}},
        {"RadioButton2", {7, 52, 124, 14}},
        {"Edit1", {7, 72, 67, 21}},
        {"ComboBox1", {80, 72, 53, 21}},
        {"CheckBox1", {154, 13, 111, 14}},
        {"CheckBox2", {154, 33, 124, 13}},
        {"CheckBox3", {154, 52, 104, 14}},
        {"ComboBox2", {154, 72, 124, 21}},
        {"Edit6", {8, 120, 269, 21}},
        {"Edit5", {0, 160, 284, 21}},
        {"Button1", {7, 190, 98, 20}},
        {"Button2", {180, 190, 98, 20}},
        // Unite
        {"ListBox1", {7, 7, 271, 114}},
        {"Button3", {7, 128, 67, 20}},
        {"Button8", {76, 128, 63, 20}},
        {"Button7", {141, 128, 63, 20}},
        {"Button9", {206, 128, 73, 20}},
        {"Edit2", {7, 154, 245, 21}},
        {"Button6", {258, 154, 20, 20}},
        {"Button5", {7, 190, 98, 20}},
        {"Button4", {180, 190, 98, 20}},
        // Security
        {"Edit4", {8, 48, 265, 21}},
        {"Button14", {168, 88, 97, 20}},
        {"Button13", {16, 114, 98, 20}},
        {"Button11", {168, 114, 98, 20}},
        {"Edit3", {0, 160, 284, 21}},
        {"Button10", {7, 190, 98, 20}},
        {"Button12", {180, 190, 98, 20}},
        // About
        {"Image1", {8, 8, 123, 108}},
        {"Memo2", {143, 8, 138, 108}},
        {"Label4", {8, 126, 273, 22}},
        {"CheckBox4", {8, 173, 209, 17}},
        {"RadioButton3", {8, 192, 121, 17}},
        {"RadioButton4", {144, 192, 137, 17}},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << row.rect;
}

void StartupTest::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    app::TForm1 form;
    QCOMPARE(control(form, qPrintable(name))->geometry(), rect);
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
                ? button->fontMetrics().horizontalAdvance(button->text()) + 4
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

void StartupTest::state_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("checked");
    const struct {
        const char *name;
        const char *text;
        bool enabled;
        bool checked;
    } rows[] = {
        {"RadioButton1", "По кол-ву частей", true, true},
        {"RadioButton2", "По размеру частей", true, false},
        {"Edit1", "", false, false},
        {"CheckBox1", "Recons.exe", true, false},
        {"CheckBox2", "Удалить исходный", true, false},
        {"CheckBox3", "Добавить текст", true, false},
        {"Label2", "Не создавать части №:", true, false}, // the colon goes with the first switch
        {"Edit6", "", true, false},
        {"Edit5", "Файл", true, false},
        {"Button1", "Открыть", true, false},
        {"Button2", "Разрезать", true, false},
        {"Button3", "Добавить", true, false},
        {"Button8", "Очистить", true, false},
        {"Button7", "Удалить", true, false},
        {"Button9", "По имени", true, false},
        {"Edit2", "*.*", true, false},
        {"Button6", "...", true, false},
        {"Button5", "Очистить всё", true, false},
        {"Button4", "Соединить", true, false},
        {"Label8", "Шифрование", true, false},
        {"Label1", "Файл-ключ", true, false},
        {"Edit4", "", true, false},
        {"Button14", "Найти", true, false},
        {"Button13", "-", true, false},
        {"Button11", "+", true, false},
        {"Edit3", "Файл", true, false},
        {"Button10", "Открыть", true, false},
        {"Button12", "Удалить", true, false},
        {"CheckBox4", "Поверх остальных окон", true, false},
        {"RadioButton3", "Русский / Russian", true, true},
        {"RadioButton4", "English / Английский", true, false},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << QString::fromUtf8(row.text) << row.enabled
                                << row.checked;
}

void StartupTest::state()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QFETCH(bool, checked);
    app::TForm1 form;
    QWidget *widget = control(form, qPrintable(name));
    QCOMPARE(widget->isEnabled(), enabled);
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QCOMPARE(button->text(), text);
        QCOMPARE(button->isChecked(), checked);
    } else if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->text(), text);
    } else {
        QCOMPARE(qobject_cast<QLineEdit *>(widget)->text(), text);
    }
}

void StartupTest::pages()
{
    app::TForm1 form;
    auto *pages = control<QTabWidget>(form, "TabbedNotebook2");
    QCOMPARE(pages->count(), 4);
    const QStringList titles{QStringLiteral("Разрезать"), QStringLiteral("Соединить"), QStringLiteral("Безопасность"),
                             QStringLiteral("О программе")};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(pages->tabText(i), titles[i]);
    QCOMPARE(pages->currentIndex(), 0);

    auto *strip = control<QTabWidget>(form, "TabbedNotebook1");
    QCOMPARE(strip->count(), 1);
    QCOMPARE(strip->tabText(0), QStringLiteral("Реклама"));
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
    QCOMPARE(unit->count(), 3);
    QCOMPARE(unit->itemText(1), QStringLiteral("Kb"));
    QCOMPARE(unit->itemText(2), QStringLiteral("Mb"));
    QVERIFY(!unit->isEnabled());

    auto *marker = control<QComboBox>(form, "ComboBox2");
    QCOMPARE(marker->currentText(), QString());
    QCOMPARE(marker->count(), 3);
    QCOMPARE(marker->itemText(0), QStringLiteral("#"));
    QCOMPARE(marker->itemText(1), QStringLiteral("№"));
    QVERIFY(!marker->isEnabled());

    QCOMPARE(control<QListWidget>(form, "ListBox1")->count(), 0);
}

void StartupTest::timeItemIsTheLocalesLongTime()
{
    const QTime before = QTime::currentTime();
    app::TForm1 form;
    const QTime after = QTime::currentTime();
    const QString item = control<QComboBox>(form, "ComboBox2")->itemText(2);
    QStringList accepted;
    for (QTime t = before.addMSecs(-before.msec()); t <= after; t = t.addSecs(1))
        accepted << QLatin1Char('(') + app::timeOfDayText(QLocale::system(), t) + QLatin1Char(')');
    QVERIFY2(accepted.contains(item), qPrintable(item));
}

void StartupTest::timeOfDayHasNoZone_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::newRow("C") << "C"
                       << "14:05:09";
    QTest::newRow("Russian") << "ru_RU"
                             << "14:05:09";
    QTest::newRow("US") << "en_US"
                        << "2:05:09 PM";
    QTest::newRow("zone in brackets")
        << "fa_IR" << QLocale(QStringLiteral("fa_IR")).toString(QTime(14, 5, 9), QStringLiteral("H:mm:ss"));
}

void StartupTest::timeOfDayHasNoZone()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QCOMPARE(app::timeOfDayText(QLocale(locale), QTime(14, 5, 9)), text);
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
