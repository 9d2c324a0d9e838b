// SPDX-License-Identifier: GPL-3.0-or-later
#include "message_box.h"

#include "fileio/failure.h"
#include "ops/report_error.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QScopedValueRollback>
#include <QSpacerItem>

namespace app {

namespace {

// What a window manager's title bar holds besides the title: the window's icon and the frame's
// buttons. QMessageBox leaves 50 pixels for them, so a box as narrow as "Disk full." showed its
// title cut to "…".
constexpr int kTitleBarControls = 130;

// Widens the box to its whole title; called once the box's layout is final.
void keepTitleWhole(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    // The font QMessageBox itself measures its title with.
    const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
    const int width = metrics.horizontalAdvance(box.windowTitle()) + kTitleBarControls;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

} // namespace

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

void MessageBox::show(const fileio::Failure &failure, const QString &details)
{
    show(kindOf(failure), QString::fromStdString(boxText(failure)), details);
}

void MessageBox::show(Kind kind, const QString &text, const QString &details)
{
    run(kind, text, details);
}

MessageBox::Answer MessageBox::ask(const QString &text)
{
    return run(Kind::Question, text, {});
}

MessageBox::Answer MessageBox::run(Kind kind, const QString &text, const QString &details)
{
    const std::unique_ptr<QMessageBox> box = makeBox(kind, text, details, m_owner);
    if (m_recording) {
        m_recorded.push_back({kind, box->windowTitle(), box->text(), box->detailedText()});
        if (kind != Kind::Question || m_answers.empty())
            return Answer::No;
        const Answer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    const QScopedValueRollback open(m_open, true);
    const QScopedValueRollback shown(m_shown, box.get());
    return box->exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

bool MessageBox::closeOpenBox()
{
    if (!m_shown || !m_shown->isVisible())
        return false;
    m_shown->reject();
    return true;
}

std::unique_ptr<QMessageBox> MessageBox::makeBox(Kind kind, const QString &text, const QString &details, QWidget *owner)
{
    // The default box and the questions carry the program file's name, which Qt takes as the
    // application's name.
    const QString program = QCoreApplication::applicationName();
    std::unique_ptr<QMessageBox> box;
    switch (kind) {
    case Kind::Report:
        box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, QStringLiteral("Error"), text, QMessageBox::Ok, owner);
        break;
    case Kind::ErrorBox:
        box = std::make_unique<QMessageBox>(QMessageBox::Critical, program, text, QMessageBox::Ok, owner);
        break;
    case Kind::Information:
        box = std::make_unique<QMessageBox>(QMessageBox::Information, program, text, QMessageBox::Ok, owner);
        break;
    case Kind::Question:
        box = std::make_unique<QMessageBox>(QMessageBox::Question, program, text, QMessageBox::Yes | QMessageBox::No,
                                            owner);
        box->setDefaultButton(QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
        break;
    }
    // Window-modal, as a child of the window: boxes no longer pile up unowned and slip behind it.
    box->setWindowModality(Qt::WindowModal);
    if (!details.isEmpty())
        box->setDetailedText(details);
    keepTitleWhole(*box);
    return box;
}

} // namespace app
