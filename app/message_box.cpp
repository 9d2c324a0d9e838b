// SPDX-License-Identifier: GPL-3.0-or-later
#include "message_box.h"

#include "fileio/failure.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace app {

void MessageBox::show(const fileio::Failure &failure)
{
    const Kind kind = failure.kind() == fileio::FailureKind::Report ? Kind::Report : Kind::ErrorBox;
    show(kind, QString::fromStdString(failure.boxText()));
}

void MessageBox::show(Kind kind, const QString &text)
{
    std::unique_ptr<QMessageBox> box = makeBox(kind, text);
    if (m_recording) {
        m_recorded.push_back({kind, box->windowTitle(), box->text()});
        return;
    }
    if (kind == Kind::ErrorBox) {
        box->exec();
        return;
    }
    // exec() would make the box modal; ReportError waits for its box while the window goes on.
    QEventLoop loop;
    QObject::connect(box.get(), &QMessageBox::finished, &loop, &QEventLoop::quit);
    box->show();
    loop.exec();
}

std::unique_ptr<QMessageBox> MessageBox::makeBox(Kind kind, const QString &text)
{
    if (kind == Kind::Report) {
        auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, QStringLiteral("Error"), text,
                                                 QMessageBox::Ok);
        box->setWindowModality(Qt::NonModal);
        return box;
    }
    // The caption is the program file's name, which Qt takes as the application's name.
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, QCoreApplication::applicationName(),
                                             text, QMessageBox::Ok);
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

} // namespace app
