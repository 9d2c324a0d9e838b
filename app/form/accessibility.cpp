// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <array>

namespace app {

namespace {

const char *const kRoleProperty = "skarvelAccessibleRole";

// A link: a screen reader may press it, which opens it as Enter does.
class LinkInterface final : public QAccessibleWidget {
public:
    explicit LinkInterface(QWidget *link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override
    {
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty()) {
            if (const auto *label = qobject_cast<const QLabel *>(widget()))
                text = label->text();
        }
        return text;
    }

    QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }

    void doAction(const QString &action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(widget(), &enter);
    }
};

QAccessibleInterface *roleFactory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid())
        return nullptr;
    if (role.toInt() == QAccessible::Link)
        return new LinkInterface(widget);
    return new QAccessibleWidget(widget, QAccessible::Role(role.toInt()));
}

// Shows a frame round a link while it has the focus: a label draws no focus of its own.
class FocusFrame final : public QObject {
public:
    explicit FocusFrame(QLabel &link) : QObject(&link), m_link(link) { link.installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            m_link.setFrameStyle(QFrame::Box | QFrame::Plain);
        else if (event->type() == QEvent::FocusOut)
            m_link.setFrameStyle(QFrame::NoFrame);
        return QObject::eventFilter(watched, event);
    }

private:
    QLabel &m_link;
};

// A name a screen reader speaks, or a hint it reads after it.
struct SpokenText {
    enum class Target { Name, Hint };
    const char *object;
    Target target;
    const char *captionOf; // the control whose caption names this one, or nullptr for the texts
    const char *russian;
    const char *english;
};

using T = SpokenText::Target;

constexpr std::array kSpokenTexts{
    SpokenText{"TabbedNotebook2", T::Name, nullptr, "Действия", "Actions"},
    SpokenText{"SpinEdit1", T::Name, "RadioButton1", nullptr, nullptr},
    SpokenText{"Edit1", T::Name, "RadioButton2", nullptr, nullptr},
    SpokenText{"ComboBox1", T::Name, nullptr, "Единица размера", "Size unit"},
    SpokenText{"ComboBox2", T::Name, nullptr, "Текст в именах частей", "Text in part names"},
    SpokenText{"Edit5", T::Name, nullptr, "Исходный файл", "Source file"},
    SpokenText{"ListBox1", T::Name, nullptr, "Файлы для соединения", "Files to unite"},
    SpokenText{"ListBox1", T::Hint, nullptr,
               "Delete — убрать выбранный файл из списка; Ctrl+Вверх, Ctrl+Вниз — передвинуть его",
               "Delete removes the chosen file from the list; Ctrl+Up, Ctrl+Down move it"},
    SpokenText{"Edit2", T::Name, nullptr, "Выходной файл", "Output file"},
    SpokenText{"Button6", T::Name, nullptr, "Выбрать выходной файл", "Choose the output file"},
    SpokenText{"Button13", T::Name, nullptr, "Расшифровать: вычесть ключ из файла",
               "Decipher: subtract the key from the file"},
    SpokenText{"Button11", T::Name, nullptr, "Зашифровать: прибавить ключ к файлу",
               "Encipher: add the key to the file"},
    SpokenText{"Edit3", T::Name, nullptr, "Файл для шифрования или удаления", "File to codify or erase"},
    SpokenText{"Image1", T::Name, nullptr, "Skarvel", "Skarvel"},
    SpokenText{"Memo2", T::Name, nullptr, "О программе", "About Skarvel"},
    SpokenText{"TabbedNotebook1", T::Name, nullptr, "Реклама", "Реклама"},
    SpokenText{"RxGIFAnimator1", T::Name, nullptr, "Страница программы", "Skarvel's page"},
    SpokenText{"RxGIFAnimator2", T::Name, nullptr, "Страница программы", "Skarvel's page"},
    SpokenText{"RxGIFAnimator3", T::Name, nullptr, "Страница партнёра", "Partner's page"},
    SpokenText{"RxGIFAnimator4", T::Name, nullptr, "Письмо автору", "Mail to the maker"},
    SpokenText{"WebBrowser1View", T::Name, nullptr, "Страница программы", "Skarvel's page"},
    SpokenText{"ScrollBar1", T::Name, nullptr, "Прокрутка рекламы", "Scroll the advertising"},
    SpokenText{"ProgressBar1", T::Name, nullptr, "Ход операции", "Progress"},
};

} // namespace

void installAccessibleRoles()
{
    QAccessible::installFactory(roleFactory);
}

void setAccessibleRole(QWidget &widget, QAccessible::Role role)
{
    widget.setProperty(kRoleProperty, int(role));
    // Qt keeps the interface it made on the first change it announced (a caption set): it is made
    // anew, with this role.
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(&widget); made && made->role() != role)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void makeLink(QLabel &link, Qt::FocusPolicy focus)
{
    setAccessibleRole(link, QAccessible::Link);
    link.setFocusPolicy(focus);
    new FocusFrame(link);
}

QString withoutAccessKey(const QString &caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

void applyAccessibleNames(QWidget &form, Language language)
{
    for (const SpokenText &row : kSpokenTexts) {
        QString text = QString::fromUtf8(language == Language::English ? row.english : row.russian);
        if (row.captionOf) {
            auto *caption = qobject_cast<QAbstractButton *>(&tableControl(form, row.captionOf));
            text = caption ? withoutAccessKey(caption->text()) : QString();
        }
        QWidget &widget = tableControl(form, row.object);
        if (row.target == T::Name) {
            widget.setAccessibleName(text);
            // On Linux Qt speaks a combo box's text as its name; the focus goes to its text field.
            if (auto *combo = qobject_cast<QComboBox *>(&widget); combo && combo->lineEdit())
                combo->lineEdit()->setAccessibleName(text);
        } else {
            widget.setToolTip(text);
            widget.setAccessibleDescription(text); // lists speak no hint of their own
        }
    }
}

} // namespace app
