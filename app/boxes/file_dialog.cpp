// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace app {

QStringList FileDialog::choose(QWidget *parent, const QString &title, Selection selection, const QString &filter,
                               const QString &folder)
{
    m_last = {title, selection, filter.isEmpty() ? QStringLiteral("All (*)") : filter, folder, {}};
    if (folder.isEmpty()) {
        m_last.folder = m_lastChosen.isEmpty() ? QDir::currentPath() : QFileInfo(m_lastChosen).absolutePath();
        m_last.name = m_lastChosen;
    }
    QStringList files;
    if (!m_answers.empty()) {
        files = m_answers.front();
        m_answers.pop_front();
    } else {
        files = show(parent, m_last);
    }
    if (!files.isEmpty())
        adopt(files);
    return files;
}

void FileDialog::adopt(const QStringList &files)
{
    if (files.isEmpty())
        return;
    m_lastChosen = QFileInfo(files.last()).absoluteFilePath();
    // A folder that vanished meanwhile leaves the current directory where it was, as the
    // system dialog would.
    QDir::setCurrent(QFileInfo(m_lastChosen).absolutePath());
}

QStringList FileDialog::show(QWidget *parent, const Use &use)
{
    QFileDialog dialog(parent, use.title);
    dialog.setNameFilter(use.filter);
    const Selection selection = *use.selection;
    // The output name is saved to: the dialog says so and asks before an existing file is replaced.
    dialog.setAcceptMode(selection == Selection::AnyName ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    switch (selection) {
    case Selection::One:
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case Selection::Several:
        dialog.setFileMode(QFileDialog::ExistingFiles);
        break;
    case Selection::AnyName:
        dialog.setFileMode(QFileDialog::AnyFile);
        break;
    }
    dialog.setDirectory(use.folder);
    if (!use.name.isEmpty())
        dialog.selectFile(use.name);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace app
