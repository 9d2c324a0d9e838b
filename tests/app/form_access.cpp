// SPDX-License-Identifier: GPL-3.0-or-later
#include "form_access.h"

#include <QTabWidget>

namespace apptest {

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
