// SPDX-License-Identifier: GPL-3.0-or-later
#include "message_box.h"

#include "fileio/failure.h"
#include "ops/report_error.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace app {

std::string withFullStop(const std::string &text)
{
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        return text + ".";
    return text;
}

MessageBox::Kind MessageBox::kindOf(const fileio::Failure &failure)
{
    return dynamic_cast<const ops::ReportedFailure *>(&failure) ? Kind::Report : Kind::ErrorBox;
}

std::string MessageBox::boxText(const fileio::Failure &failure)
{
    return kindOf(failure) == Kind::ErrorBox ? withFullStop(failure.text()) : failure.text();
}

void MessageBox::show(const fileio::Failure &failure)
{
    show(kindOf(failure), QString::fromStdString(boxText(failure)));
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
