// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/form/tform1.h"

#include <QString>
#include <QTest>
#include <QWidget>

namespace apptest {

// A control of the window by its name; fails the test when it is missing.
template <typename W = QWidget>
W *control(QWidget &form, const char *name)
{
    W *widget = form.findChild<W *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control named %s", name);
    return widget;
}

// Clicks a button the way a user does, and lets the handler run to its end.
inline void click(QWidget &form, const char *name)
{
    QTest::mouseClick(control(form, name), Qt::LeftButton);
}

// The caption the control of `row` shows now: its text, its page's tab or the window's title.
QString shownCaption(QWidget &form, const app::ControlRow &row);

// Shows the form page that holds `name`, so that mouse events reach it.
void showPageOf(QWidget &form, const char *name);

} // namespace apptest
