// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caption_table.h"

#include <QString>
#include <QStringList>

namespace app {

// The window's questions and notes that no control carries, in the interface language.

// Before a Cut replaces files of the names it writes: the files, a few named and the rest counted.
QString replaceQuestion(const QStringList &files, Language language);
// Before Erase, which nothing can undo.
QString eraseQuestion(const QString &file, Language language);
// Before the window closes while an operation runs.
QString closeWhileBusyQuestion(Language language);
// Before a Unite replaces the file its output names.
QString replaceOutputQuestion(const QString &file, Language language);
// Before a Cut deletes a source whose parts left out exist nowhere else: the first of them named.
QString leftOutQuestion(const QString &source, const QList<qint64> &leftOut, qint64 count, Language language);
// After an operation was stopped: what it left.
QString stoppedNote(Language language);
// After Erase was stopped midway: the file is kept, its first `bytes` bytes zeros.
QString partlyErasedNote(const QString &file, qint64 bytes, Language language);
// After a Cut was stopped once its parts had their names: the source was kept.
QString sourceKeptNote(const QString &file, Language language);
// The caption of an operation's button while the operation runs, and stops it.
QString stopCaption(Language language);

} // namespace app
