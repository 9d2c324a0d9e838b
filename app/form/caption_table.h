// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "control_table.h"

#include <QString>

class QWidget;

namespace app {

// Shows `text` as the caption of the control `row` names: a button's, a label's (which takes the
// caption's size when the table gives it none), an edit's text, a page's tab or the window's title.
void setCaption(QWidget &form, const ControlRow &row, const QString &text);

// Sets every caption the language switches, in table order, on `form` and its children (found by
// name).
void applyCaptions(QWidget &form, Language language);

// The file dialog's uses and their titles.
enum class DialogUse {
    OpenFile,  // one file to read: source, data and key file
    OpenFiles, // files to add to the list
    SaveFile   // the output of Unite; the name need not exist
};
QString dialogTitle(DialogUse use, Language language);
// The file dialog's one filter, every file.
QString dialogFilter(Language language);

} // namespace app
