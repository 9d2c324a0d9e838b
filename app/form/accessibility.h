// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caption_table.h"

#include <QAccessible>
#include <QString>

class QLabel;
class QWidget;

namespace app {

// How assistive technology (a screen reader, through AT-SPI) meets the window.

// Lets setAccessibleRole() take effect; harmless when called again.
void installAccessibleRoles();

// Presents `widget` with `role` instead of the one its class has: the window as a frame rather than
// a filler, a picture as a link.
void setAccessibleRole(QWidget &widget, QAccessible::Role role);

// Makes `link` (a picture or a link label that opens its link on a click) a link to the keyboard and
// to a screen reader: Enter opens it (its ClickFilter takes the key), it shows a frame while it has
// the focus, and its press action opens it. `focus` says whether Tab reaches it.
void makeLink(QLabel &link, Qt::FocusPolicy focus);

// A caption as it reads, without the "&" before its access key ("&&" stands for an "&").
QString withoutAccessKey(const QString &caption);

// Names the controls whose caption does not say what they are (the fields, the sign buttons, the
// pictures, the progress bar) and gives the list the hint on its keys, in `language`. A label that
// names a field does so as its buddy, and a caption is its control's name: both follow the caption
// table by themselves.
void applyAccessibleNames(QWidget &form, Language language);

} // namespace app
