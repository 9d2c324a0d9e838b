// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace app {

QStringList FileDialog::choose(QWidget *parent, const QString &title, Selection selection)
{
    m_lastTitle = title;
    m_lastSelection = selection;
    QStringList files;
    if (!m_answers.empty()) {
        files = m_answers.front();
        m_answers.pop_front();
    } else {
        files = show(parent, title, selection);
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

QStringList FileDialog::show(QWidget *parent, const QString &title, Selection selection) const
{
    QFileDialog dialog(parent, title);
    dialog.setNameFilter(QStringLiteral("All (*)"));
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
    if (!m_lastChosen.isEmpty()) {
        dialog.setDirectory(QFileInfo(m_lastChosen).absolutePath());
        dialog.selectFile(m_lastChosen);
    } else {
        dialog.setDirectory(QDir::currentPath());
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace app
