// SPDX-License-Identifier: GPL-3.0-or-later
// TForm1 built from its control table, and what the table does not say: lists, ranges, buddies,
// the About page's text and picture.
#include "tform1.h"

#include "accessibility.h"
#include "app/panel/advertising_panel.h"
#include "caption_table.h"
#include "app/controls/compact_style.h"
#include "app/panel/links.h"
#include "app/controls/list_box.h"
#include "app/panel/product_picture.h"
#include "app/progress/progress_bar.h"
#include "app/controls/spin_edit.h"
#include "app/version_digits.h"
#include "ops/size_preset.h"

#include <QAbstractButton>
#include <QAbstractItemView>
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

#include <stdexcept>
#include <string>

namespace app {

namespace {

// An empty control of `kind` on `parent`; a page goes into its notebook as the next tab.
QWidget *make(ControlKind kind, QWidget &parent)
{
    switch (kind) {
    case ControlKind::Window:
        break;
    case ControlKind::Notebook: {
        // Every tab in sight, whole, before any is added.
        auto *notebook = new QTabWidget(&parent);
        notebook->setUsesScrollButtons(false);
        notebook->setElideMode(Qt::ElideNone);
        return notebook;
    }
    case ControlKind::Page: {
        auto *notebook = qobject_cast<QTabWidget *>(&parent);
        if (!notebook)
            break;
        auto *page = new QWidget;
        notebook->addTab(page, QString());
        return page;
    }
    case ControlKind::Bevel: {
        // The sunken frames that group controls lie beneath them.
        auto *frame = new QFrame(&parent);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        frame->lower();
        return frame;
    }
    case ControlKind::Radio:
        return new QRadioButton(&parent);
    case ControlKind::Check:
        return new QCheckBox(&parent);
    case ControlKind::Button:
        return new QPushButton(&parent);
    case ControlKind::Label:
    case ControlKind::Link:
    case ControlKind::Picture:
        return new QLabel(&parent);
    case ControlKind::Edit:
        return new QLineEdit(&parent);
    case ControlKind::Spin:
        return new SpinEdit(&parent);
    case ControlKind::Combo: {
        auto *box = new QComboBox(&parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        // Typed text stays as typed: no completion turns "k" into "Kb".
        box->setCompleter(nullptr);
        return box;
    }
    case ControlKind::List:
        return new ListBox(&parent);
    case ControlKind::Memo:
        return new QPlainTextEdit(&parent);
    case ControlKind::Progress:
        return new ProgressBar(&parent);
    }
    throw std::logic_error("the control table asks for a control the layout cannot make there");
}

// Binds `slot` to the control the table made under that name.
template <typename W>
void bind(QWidget &form, W *&slot, const char *name)
{
    slot = &tableControl<W>(form, name);
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
    installAccessibleRoles();
    setAccessibleRole(*this, QAccessible::Window); // a frame, as a main window is
    setWindowIcon(productIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFont(windowFont());
    for (const ControlRow &row : controlTable()) {
        QWidget *widget = this;
        if (row.kind == ControlKind::Window) {
            setFixedSize(row.rect.size());
        } else {
            QWidget *parent = row.parent ? findChild<QWidget *>(QString::fromLatin1(row.parent)) : this;
            if (!parent)
                throw std::logic_error(std::string("the control table makes a parent after its child ") + row.name);
            widget = make(row.kind, *parent);
            if (row.kind != ControlKind::Page)
                widget->setGeometry(row.rect);
        }
        widget->setObjectName(QString::fromLatin1(row.name));
        if (row.state == StartState::Disabled)
            widget->setEnabled(false);
        if (auto *button = qobject_cast<QAbstractButton *>(widget); button && row.state == StartState::Checked)
            button->setChecked(true);
        if (row.hasCaption())
            setCaption(*this, row, row.startupCaption());
    }
    bindControls();

    auto &ui = m_ui;
    for (int i = 0; i < ui.TabbedNotebook2->count(); ++i)
        ui.TabbedNotebook2->widget(i)->setAutoFillBackground(true); // face colour, as the frames' captions have
    m_advertising = new AdvertisingPanel(*ui.TabbedNotebook1->widget(0), *ui.TabbedNotebook1);

    ui.SpinEdit1->setRange(2, 255);
    ui.SpinEdit1->setValue(2);
    ui.ComboBox1->addItems({QStringLiteral("byte"), QStringLiteral("Kb"), QStringLiteral("Mb")});
    for (const ops::SizePreset &preset : ops::sizePresets())
        ui.ComboBox1->addItem(QString::fromLatin1(preset.name));
    // The box is narrow; its list is as wide as its longest name.
    ui.ComboBox1->view()->setMinimumWidth(ui.ComboBox1->view()->sizeHintForColumn(0) + 8);
    ui.ComboBox1->setEditText(QStringLiteral("byte"));
    ui.ComboBox2->addItems({QStringLiteral("#"), QStringLiteral("№")});
    ui.ComboBox2->setCurrentIndex(-1);
    ui.ComboBox2->setEditText(QString());
    ui.Label2->setBuddy(ui.Edit6);
    ui.ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.Label1->setBuddy(ui.Edit4);
    buildAboutPage();
    ui.ProgressBar1->setRange(0, 100);
    ui.ProgressBar1->setValue(0);

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

void TForm1::bindControls()
{
    auto &ui = m_ui;
    const auto slot = [this](auto *&control, const char *name) { bind(*this, control, name); };
    slot(ui.TabbedNotebook1, "TabbedNotebook1");
    slot(ui.TabbedNotebook2, "TabbedNotebook2");
    slot(ui.ProgressBar1, "ProgressBar1");
    slot(ui.RadioButton1, "RadioButton1");
    slot(ui.RadioButton2, "RadioButton2");
    slot(ui.SpinEdit1, "SpinEdit1");
    slot(ui.Edit1, "Edit1");
    slot(ui.Edit5, "Edit5");
    slot(ui.Edit6, "Edit6");
    slot(ui.ComboBox1, "ComboBox1");
    slot(ui.ComboBox2, "ComboBox2");
    slot(ui.CheckBox1, "CheckBox1");
    slot(ui.CheckBox2, "CheckBox2");
    slot(ui.CheckBox3, "CheckBox3");
    slot(ui.Label2, "Label2");
    slot(ui.Button1, "Button1");
    slot(ui.Button2, "Button2");
    slot(ui.ListBox1, "ListBox1");
    slot(ui.Edit2, "Edit2");
    slot(ui.Button3, "Button3");
    slot(ui.Button4, "Button4");
    slot(ui.Button5, "Button5");
    slot(ui.Button6, "Button6");
    slot(ui.Button7, "Button7");
    slot(ui.Button8, "Button8");
    slot(ui.Button9, "Button9");
    slot(ui.Label1, "Label1");
    slot(ui.Label8, "Label8");
    slot(ui.Edit3, "Edit3");
    slot(ui.Edit4, "Edit4");
    slot(ui.Button10, "Button10");
    slot(ui.Button11, "Button11");
    slot(ui.Button12, "Button12");
    slot(ui.Button13, "Button13");
    slot(ui.Button14, "Button14");
    slot(ui.Image1, "Image1");
    slot(ui.Label4, "Label4");
    slot(ui.Memo2, "Memo2");
    slot(ui.CheckBox4, "CheckBox4");
    slot(ui.RadioButton3, "RadioButton3");
    slot(ui.RadioButton4, "RadioButton4");
}

// What the About page shows besides its captions.
void TForm1::buildAboutPage()
{
    auto &ui = m_ui;
    ui.Image1->setAlignment(Qt::AlignCenter);
    ui.Image1->setPixmap(productPicture(100, 100));

    ui.Memo2->setReadOnly(true);
    ui.Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui.Memo2->setPlainText(QString::fromUtf8(kAboutText).arg(versionDigits(), links::mailAddress()));
    // The face colour by role, not a copy of today's palette, so that it follows a theme change.
    ui.Memo2->viewport()->setBackgroundRole(QPalette::Window);
    QFont small = font();
    small.setPixelSize(font().pixelSize() - 1);
    ui.Memo2->setFont(small);

    // The sponsor line: a link, with the link as its hint.
    makeLink(*ui.Label4, Qt::StrongFocus);
    ui.Label4->setToolTip(links::sponsorPage());
    QFont underlined = font();
    underlined.setUnderline(true);
    ui.Label4->setFont(underlined);
    ui.Label4->setCursor(Qt::PointingHandCursor);
}

} // namespace app
