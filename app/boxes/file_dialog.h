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
        One,     // one existing file
        Several, // one or more existing files
        AnyName  // one name to save to, that need not exist; replacing a file is asked first
    };

    // The chosen files (full paths), or an empty list when the dialog was cancelled. `filter` is
    // the one file-type filter's text ("All (*)" when empty). A non-empty `folder` opens the
    // dialog there with an empty name instead of at the file chosen last.
    QStringList choose(QWidget *parent, const QString &title, Selection selection, const QString &filter = {},
                       const QString &folder = {});

    // Takes files that arrived by another way (a drop) as if they had been chosen here.
    void adopt(const QStringList &files);

    QString lastChosen() const { return m_lastChosen; }

    // Test hook: the next use answers `files` (empty: Cancel) without showing anything.
    void setNextAnswer(const QStringList &files) { m_answers.push_back(files); }
    // What the last use looked like, answered or shown: its title, selection, filter, and the
    // folder and name it opened with.
    QString lastTitle() const { return m_last.title; }
    std::optional<Selection> lastSelection() const { return m_last.selection; }
    QString lastFilter() const { return m_last.filter; }
    QString lastFolder() const { return m_last.folder; }
    QString lastName() const { return m_last.name; }

private:
    struct Use {
        QString title;
        std::optional<Selection> selection;
        QString filter;
        QString folder;
        QString name;
    };
    static QStringList show(QWidget *parent, const Use &use);

    QString m_lastChosen;
    Use m_last;
    std::deque<QStringList> m_answers;
};

} // namespace app
