// SPDX-License-Identifier: GPL-3.0-or-later
#include "caption_table.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>

#include <array>
#include <stdexcept>

namespace app {

namespace {

using T = CaptionRow::Target;

constexpr std::array kCaptions{
    CaptionRow{T::Page, "TabbedNotebook2", 0, "Разрезать", "Cut"},
    CaptionRow{T::Page, "TabbedNotebook2", 1, "Соединить", "Unite"},
    CaptionRow{T::Page, "TabbedNotebook2", 2, "Безопасность", "Security"},
    CaptionRow{T::Page, "TabbedNotebook2", 3, "О программе", "About"},
    CaptionRow{T::Text, "RadioButton1", 0, "По кол-ву частей", "By quantity"},
    CaptionRow{T::Text, "RadioButton2", 0, "По размеру частей", "By size"},
    CaptionRow{T::Text, "CheckBox2", 0, "Удалить исходный", "Delete initial"},
    CaptionRow{T::Text, "CheckBox3", 0, "Добавить текст", "Add string"},
    CaptionRow{T::Text, "Edit5", 0, "Файл", ""},
    CaptionRow{T::Text, "Label2", 0, "Не создавать части №", "Don`t create #"},
    CaptionRow{T::Text, "Button1", 0, "Открыть", "Open"},
    CaptionRow{T::Text, "Button2", 0, "Разрезать", "Cut"},
    CaptionRow{T::Text, "Button3", 0, "Добавить", "Add"},
    CaptionRow{T::Text, "Button8", 0, "Очистить", "Clear"},
    CaptionRow{T::Text, "Button7", 0, "Удалить", "Delete"},
    CaptionRow{T::Text, "Button9", 0, "По имени", "Sort"},
    CaptionRow{T::Text, "Button5", 0, "Очистить всё", "Clear all"},
    CaptionRow{T::Text, "Button4", 0, "Соединить", "Unite"},
    CaptionRow{T::Text, "Label8", 0, "Шифрование", "Codify"},
    CaptionRow{T::Text, "Label1", 0, "Файл-ключ", "File-key"},
    CaptionRow{T::Text, "Button14", 0, "Найти", "Find"},
    CaptionRow{T::Text, "Edit3", 0, "Файл", ""},
    CaptionRow{T::Text, "Button10", 0, "Открыть", "Open"},
    CaptionRow{T::Text, "Button12", 0, "Удалить", "Erase"},
    CaptionRow{T::Text, "CheckBox4", 0, "Поверх остальных окон", "Stay on top"},
    CaptionRow{T::WindowTitle, "", 0, "Skarvel 0007", "Skarvel 0007"},
};

template <typename W>
W &child(QWidget &form, const char *name)
{
    W *widget = form.findChild<W *>(QString::fromLatin1(name));
    if (!widget)
        throw std::logic_error(std::string("caption table names a missing control: ") + name);
    return *widget;
}

void setText(QWidget &form, const char *name, const QString &text)
{
    QWidget &widget = child<QWidget>(form, name);
    if (auto *button = qobject_cast<QAbstractButton *>(&widget))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(&widget)) {
        label->setText(text);
        label->adjustSize(); // labels size themselves to their caption
    } else if (auto *edit = qobject_cast<QLineEdit *>(&widget))
        edit->setText(text);
    else
        throw std::logic_error(std::string("caption table names a control without a caption: ") + name);
}

} // namespace

std::span<const CaptionRow> captionTable()
{
    return kCaptions;
}

void applyCaptions(QWidget &form, Language language)
{
    for (const CaptionRow &row : kCaptions) {
        const QString text = QString::fromUtf8(row.text(language));
        switch (row.target) {
        case T::Text:
            setText(form, row.object, text);
            break;
        case T::Page:
            child<QTabWidget>(form, row.object).setTabText(row.page, text);
            break;
        case T::WindowTitle:
            form.setWindowTitle(text);
            break;
        }
    }
}

QString dialogTitle(DialogUse use, Language language)
{
    struct Titles {
        DialogUse use;
        const char *russian;
        const char *english;
    };
    static constexpr std::array kTitles{
        Titles{DialogUse::OpenFile, "Открытие файла", "Open file"},
        Titles{DialogUse::OpenFiles, "Открытие файлов", "Open files"},
        Titles{DialogUse::SaveFile, "Сохранение файла", "Save file"},
    };
    for (const Titles &row : kTitles) {
        if (row.use == use)
            return QString::fromUtf8(language == Language::English ? row.english : row.russian);
    }
    return {};
}

QString dialogFilter(Language language)
{
    return QString::fromUtf8(language == Language::English ? "All (*)" : "Все (*)");
}

} // namespace app
