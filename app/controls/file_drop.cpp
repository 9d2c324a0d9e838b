// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_drop.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace app {

FileDrop::FileDrop(QWidget *target, std::function<void(const QStringList &)> take)
    : QObject(target), m_take(std::move(take))
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

QStringList FileDrop::localFiles(const QMimeData &data)
{
    QStringList files;
    for (const QUrl &url : data.urls()) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo info(url.toLocalFile());
        if (!info.isDir())
            files.append(info.absoluteFilePath());
    }
    return files;
}

bool FileDrop::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (localFiles(*drag->mimeData()).isEmpty())
            return QObject::eventFilter(watched, event);
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList files = localFiles(*drop->mimeData());
        if (files.isEmpty())
            return QObject::eventFilter(watched, event);
        drop->acceptProposedAction();
        m_take(files);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace app
