// SPDX-License-Identifier: GPL-3.0-or-later
#include "caption_table.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>

#include <array>

namespace app {

void setCaption(QWidget &form, const ControlRow &row, const QString &text)
{
    switch (row.kind) {
    case ControlKind::Window:
        form.setWindowTitle(text);
        return;
    case ControlKind::Page: {
        QWidget &page = tableControl<QWidget>(form, row.name);
        auto &notebook = tableControl<QTabWidget>(form, row.parent);
        notebook.setTabText(notebook.indexOf(&page), text);
        return;
    }
    default:
        break;
    }
    QWidget &widget = tableControl<QWidget>(form, row.name);
    if (auto *button = qobject_cast<QAbstractButton *>(&widget))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(&widget)) {
        label->setText(text);
        if (row.rect.isEmpty())
            label->adjustSize();
    } else if (auto *edit = qobject_cast<QLineEdit *>(&widget))
        edit->setText(text);
    else
        throw std::logic_error(std::string("control table gives a caption to a control without one: ") + row.name);
}

void applyCaptions(QWidget &form, Language language)
{
    for (const ControlRow &row : controlTable()) {
        if (row.switches())
            setCaption(form, row, row.caption(language));
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
