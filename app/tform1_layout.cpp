// SPDX-License-Identifier: GPL-3.0-or-later
// TForm1's controls, their places and their start-up state, with the Russian captions.
#include "tform1.h"

#include "accessibility.h"
#include "advertising_panel.h"
#include "compact_style.h"
#include "links.h"
#include "list_box.h"
#include "product_picture.h"
#include "progress_bar.h"
#include "spin_edit.h"
#include "version_digits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

namespace app {

namespace {

constexpr int kClientWidth = 435;
constexpr int kClientHeight = 263;

template <typename W>
W *place(QWidget &parent, const char *name, int left, int top, int width, int height)
{
    auto *widget = new W(&parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

template <typename W>
W *place(QWidget &parent, const char *name, const char *caption, int left, int top, int width, int height)
{
    W *widget = place<W>(parent, name, left, top, width, height);
    widget->setText(QString::fromUtf8(caption));
    return widget;
}

// A label sized to its caption.
QLabel *label(QWidget &parent, const char *name, const char *caption, int left, int top)
{
    auto *widget = new QLabel(QString::fromUtf8(caption), &parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->move(left, top);
    widget->adjustSize();
    return widget;
}

// The sunken frames that group controls; made before the controls so they lie beneath them.
void bevel(QWidget &parent, const char *name, int left, int top, int width, int height)
{
    auto *frame = place<QFrame>(parent, name, left, top, width, height);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->lower();
}

QComboBox *comboBox(QWidget &parent, const char *name, int left, int top, int width, int height)
{
    auto *box = place<QComboBox>(parent, name, left, top, width, height);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // Typed text stays as typed: no completion turns "k" into "Kb".
    box->setCompleter(nullptr);
    return box;
}

// Every property set, not only family and size: a platform theme gives buttons, labels and check
// boxes fonts of their own, and a control takes from its class's font whatever the window leaves
// unset (a bold weight, letter spacing), which widened captions past their fixed sizes.
QFont windowFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

const char *const kAboutText =
    "Skarvel\n"
    "Version %1\n"
    "Filesize: 266 Kb\n"
    "\n"
    "(c) 2026 the Skarvel developers\n"
    "Mail: %2\n"
    "\n"
    "Cuts large files into parts, unites files, codifies and erases them.\n"
    "\n"
    "Free software under the GNU GPL, version 3 or later.\n"
    "\n"
    "Бесплатная программа.";

} // namespace

void TForm1::buildLayout()
{
    setObjectName(QStringLiteral("Form1"));
    installAccessibleRoles();
    setAccessibleRole(*this, QAccessible::Window); // a frame, as a main window is
    setWindowTitle(QStringLiteral("Skarvel ") + versionDigits());
    setWindowIcon(productIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(windowFont());

    auto &ui = m_ui;
    ui.TabbedNotebook2 = place<QTabWidget>(*this, "TabbedNotebook2", 0, 0, 298, 245);
    ui.TabbedNotebook2->setUsesScrollButtons(false);
    ui.TabbedNotebook2->setElideMode(Qt::ElideNone);
    const char *const pages[] = {"Разрезать", "Соединить", "Безопасность", "О программе"};
    const char *const pageNames[] = {"CutPage", "UnitePage", "SecurityPage", "AboutPage"};
    for (int i = 0; i < 4; ++i) {
        auto *page = new QWidget;
        page->setObjectName(QString::fromLatin1(pageNames[i]));
        page->setAutoFillBackground(true); // face colour, as the captions on the frames have
        ui.TabbedNotebook2->addTab(page, QString::fromUtf8(pages[i]));
    }
    buildCutPage(*ui.TabbedNotebook2->widget(0));
    buildUnitePage(*ui.TabbedNotebook2->widget(1));
    buildSecurityPage(*ui.TabbedNotebook2->widget(2));
    buildAboutPage(*ui.TabbedNotebook2->widget(3));

    ui.TabbedNotebook1 = place<QTabWidget>(*this, "TabbedNotebook1", 298, 0, 137, 245);
    auto *advertising = new QWidget;
    advertising->setObjectName(QStringLiteral("AdvertisingPage"));
    ui.TabbedNotebook1->addTab(advertising, QStringLiteral("Реклама"));
    m_advertising = new AdvertisingPanel(*advertising, *ui.TabbedNotebook1);

    ui.ProgressBar1 = place<ProgressBar>(*this, "ProgressBar1", 0, 245, 435, 18);
    ui.ProgressBar1->setRange(0, 100);
    ui.ProgressBar1->setValue(0);
    ui.ProgressBar1->setTextVisible(false);

    // Captions are opaque, so a caption placed on a frame's edge interrupts the line. They fill with
    // the page's colour: a button's own background role is the button colour, which only some
    // colour schemes make equal to the page's.
    for (QWidget *caption : findChildren<QWidget *>()) {
        if (qobject_cast<QLabel *>(caption) || qobject_cast<QCheckBox *>(caption)
            || qobject_cast<QRadioButton *>(caption)) {
            caption->setAutoFillBackground(true);
            caption->setBackgroundRole(QPalette::Window);
        }
    }
    CompactStyle::apply(*this);
}

void TForm1::buildCutPage(QWidget &page)
{
    auto &ui = m_ui;
    bevel(page, "Bevel1", 0, 7, 139, 39);
    bevel(page, "Bevel2", 0, 59, 139, 39);
    bevel(page, "Bevel3", 146, 7, 138, 91);
    bevel(page, "Bevel4", 0, 107, 284, 46);

    ui.RadioButton1 = place<QRadioButton>(page, "RadioButton1", "По кол-ву частей", 7, 0, 122, 14);
    ui.RadioButton1->setChecked(true);
    ui.SpinEdit1 = place<SpinEdit>(page, "SpinEdit1", 80, 20, 53, 22);
    ui.SpinEdit1->setRange(2, 255);
    ui.SpinEdit1->setValue(2);
    ui.RadioButton2 = place<QRadioButton>(page, "RadioButton2", "По размеру частей", 7, 52, 124, 14);
    ui.Edit1 = place<QLineEdit>(page, "Edit1", 7, 72, 67, 21);
    ui.Edit1->setEnabled(false);
    ui.ComboBox1 = comboBox(page, "ComboBox1", 80, 72, 53, 21);
    ui.ComboBox1->addItems({QStringLiteral("byte"), QStringLiteral("Kb"), QStringLiteral("Mb")});
    ui.ComboBox1->setEditText(QStringLiteral("byte"));
    ui.ComboBox1->setEnabled(false);

    ui.CheckBox1 = place<QCheckBox>(page, "CheckBox1", "Recons.exe", 154, 13, 111, 14);
    ui.CheckBox2 = place<QCheckBox>(page, "CheckBox2", "Удалить исходный", 154, 33, 124, 13);
    ui.CheckBox3 = place<QCheckBox>(page, "CheckBox3", "Добавить текст", 154, 52, 104, 14);
    ui.ComboBox2 = comboBox(page, "ComboBox2", 154, 72, 124, 21);
    ui.ComboBox2->addItems({QStringLiteral("#"), QStringLiteral("№")});
    ui.ComboBox2->setCurrentIndex(-1);
    ui.ComboBox2->setEditText(QString());
    ui.ComboBox2->setEnabled(false);

    ui.Label2 = label(page, "Label2", "Не создавать части №:", 8, 102);
    ui.Edit6 = place<QLineEdit>(page, "Edit6", 8, 120, 269, 21);
    ui.Label2->setBuddy(ui.Edit6);
    ui.Edit5 = place<QLineEdit>(page, "Edit5", "Файл", 0, 160, 284, 21);
    ui.Button1 = place<QPushButton>(page, "Button1", "Открыть", 7, 190, 98, 20);
    ui.Button2 = place<QPushButton>(page, "Button2", "Разрезать", 180, 190, 98, 20);
}

void TForm1::buildUnitePage(QWidget &page)
{
    auto &ui = m_ui;
    bevel(page, "Bevel5", 0, 0, 284, 185);
    ui.ListBox1 = place<ListBox>(page, "ListBox1", 7, 7, 271, 114);
    ui.ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.Button3 = place<QPushButton>(page, "Button3", "Добавить", 7, 128, 67, 20);
    ui.Button8 = place<QPushButton>(page, "Button8", "Очистить", 76, 128, 63, 20);
    ui.Button7 = place<QPushButton>(page, "Button7", "Удалить", 141, 128, 63, 20);
    ui.Button9 = place<QPushButton>(page, "Button9", "По имени", 206, 128, 73, 20);
    ui.Edit2 = place<QLineEdit>(page, "Edit2", "*.*", 7, 154, 245, 21);
    ui.Button6 = place<QPushButton>(page, "Button6", "...", 258, 154, 20, 20);
    ui.Button5 = place<QPushButton>(page, "Button5", "Очистить всё", 7, 190, 98, 20);
    ui.Button4 = place<QPushButton>(page, "Button4", "Соединить", 180, 190, 98, 20);
}

void TForm1::buildSecurityPage(QWidget &page)
{
    auto &ui = m_ui;
    bevel(page, "Bevel6", 0, 7, 284, 146);
    ui.Label8 = label(page, "Label8", "Шифрование", 8, 0);
    ui.Label1 = label(page, "Label1", "Файл-ключ", 16, 24);
    ui.Edit4 = place<QLineEdit>(page, "Edit4", 8, 48, 265, 21);
    ui.Label1->setBuddy(ui.Edit4);
    ui.Button14 = place<QPushButton>(page, "Button14", "Найти", 168, 88, 97, 20);
    ui.Button13 = place<QPushButton>(page, "Button13", "-", 16, 114, 98, 20);
    ui.Button11 = place<QPushButton>(page, "Button11", "+", 168, 114, 98, 20);
    ui.Edit3 = place<QLineEdit>(page, "Edit3", "Файл", 0, 160, 284, 21);
    ui.Button10 = place<QPushButton>(page, "Button10", "Открыть", 7, 190, 98, 20);
    ui.Button12 = place<QPushButton>(page, "Button12", "Удалить", 180, 190, 98, 20);
}

void TForm1::buildAboutPage(QWidget &page)
{
    auto &ui = m_ui;
    ui.Image1 = place<QLabel>(page, "Image1", 8, 8, 123, 108);
    ui.Image1->setAlignment(Qt::AlignCenter);
    ui.Image1->setPixmap(productPicture(100, 100));

    ui.Memo2 = place<QPlainTextEdit>(page, "Memo2", 143, 8, 138, 108);
    ui.Memo2->setReadOnly(true);
    ui.Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui.Memo2->setPlainText(QString::fromUtf8(kAboutText).arg(versionDigits(), links::mailAddress()));
    // The face colour by role, not a copy of today's palette, so that it follows a theme change.
    ui.Memo2->viewport()->setBackgroundRole(QPalette::Window);
    QFont small = font();
    small.setPixelSize(font().pixelSize() - 1);
    ui.Memo2->setFont(small);

    // The sponsor line: a link, with the link as its hint.
    ui.Label4 = place<QLabel>(page, "Label4", "Здесь может быть ваша реклама", 8, 126, 273, 22);
    makeLink(*ui.Label4, Qt::StrongFocus);
    ui.Label4->setToolTip(links::sponsorPage());
    QFont underlined = font();
    underlined.setUnderline(true);
    ui.Label4->setFont(underlined);
    ui.Label4->setCursor(Qt::PointingHandCursor);

    ui.CheckBox4 = place<QCheckBox>(page, "CheckBox4", "Поверх остальных окон", 8, 173, 209, 17);
    ui.RadioButton3 = place<QRadioButton>(page, "RadioButton3", "Русский / Russian", 8, 192, 121, 17);
    ui.RadioButton3->setChecked(true);
    ui.RadioButton4 = place<QRadioButton>(page, "RadioButton4", "English / Английский", 144, 192, 137, 17);
}

} // namespace app
