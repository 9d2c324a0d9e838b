// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <span>

class QWidget;

namespace app {

enum class Language { Russian, English };

// One caption the language switch rewrites.
struct CaptionRow {
    enum class Target {
        Text,       // the control's caption (button, check, radio, label) or an edit's text
        Page,       // a page title of the notebook named by `object`
        WindowTitle // the window's own caption; `object` is unused
    };
    Target target;
    const char *object;
    int page; // for Page rows
    const char *russian;
    const char *english;

    const char *text(Language language) const { return language == Language::English ? english : russian; }
};

// Every caption that follows the language, in the order a switch applies them.
std::span<const CaptionRow> captionTable();

// Sets every caption of the table, in table order, on `form` and its children (found by name).
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
