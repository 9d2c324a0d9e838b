// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

namespace app {

// Takes files dropped from a file manager onto a widget and hands their local paths to `take`.
class FileDrop final : public QObject {
public:
    FileDrop(QWidget *target, std::function<void(const QStringList &)> take);

    // The local files a drag carries, in its order; empty when it carries none.
    static QStringList localFiles(const QMimeData &data);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QStringList &)> m_take;
};

} // namespace app
