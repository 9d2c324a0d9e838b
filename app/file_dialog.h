// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

class QWidget;

namespace app {

// OpenDialog1: the one file dialog behind every file choice. Each use opens with the file chosen
// last filled in, and a choice confirmed with OK moves the process's current directory to the
// chosen file's folder: the part list, the joiner and the cipher's temporary file land there.
class FileDialog {
public:
    enum class Selection {
        One,      // one existing file
        Several,  // one or more existing files
        AnyName   // one name to save to, that need not exist; replacing a file is asked first
    };

    // The chosen files (full paths), or an empty list when the dialog was cancelled.
    QStringList choose(QWidget *parent, const QString &title, Selection selection);

    // Takes files that arrived by another way (a drop) as if they had been chosen here.
    void adopt(const QStringList &files);

    QString lastChosen() const { return m_lastChosen; }

    // Test hook: the next use answers `files` (empty: Cancel) without showing anything.
    void setNextAnswer(const QStringList &files) { m_answers.push_back(files); }
    // What the last use looked like, answered or shown.
    QString lastTitle() const { return m_lastTitle; }
    std::optional<Selection> lastSelection() const { return m_lastSelection; }

private:
    QStringList show(QWidget *parent, const QString &title, Selection selection) const;

    QString m_lastChosen;
    QString m_lastTitle;
    std::optional<Selection> m_lastSelection;
    std::deque<QStringList> m_answers;
};

} // namespace app
