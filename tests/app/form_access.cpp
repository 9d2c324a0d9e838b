// SPDX-License-Identifier: GPL-3.0-or-later
#include "form_access.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace apptest {

QString shownCaption(QWidget &form, const app::ControlRow &row)
{
    if (row.kind == app::ControlKind::Window)
        return form.windowTitle();
    QWidget *widget = control(form, row.name);
    if (row.kind == app::ControlKind::Page) {
        auto *notebook = control<QTabWidget>(form, row.parent);
        return notebook->tabText(notebook->indexOf(widget));
    }
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return edit->text();
    qFatal("%s shows no caption", row.name);
}

void showPageOf(QWidget &form, const char *name)
{
    auto *pages = control<QTabWidget>(form, "TabbedNotebook2");
    QWidget *target = control(form, name);
    for (int i = 0; i < pages->count(); ++i) {
        if (pages->widget(i)->isAncestorOf(target))
            pages->setCurrentIndex(i);
    }
    if (!form.isVisible()) {
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qFatal("the window was not shown");
    }
}

} // namespace apptest
