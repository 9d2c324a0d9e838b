// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress_bar.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStyleOptionProgressBar>
#include <QStylePainter>

#include <algorithm>
#include <climits>
#include <cmath>

namespace app {

namespace {

// Steps the bar draws within one unit.
constexpr int kSubSteps = 1000;

} // namespace

ProgressBar::ProgressBar(QWidget *parent) : QProgressBar(parent)
{
    setAlignment(Qt::AlignCenter);
    setTextVisible(false);
}

void ProgressBar::setFraction(double fraction)
{
    fraction = std::clamp(fraction, 0.0, 1.0);
    // Redraw only when the change is visible at all.
    if (std::abs(fraction - m_fraction) * kSubSteps < 1.0 && fraction != 0.0)
        return;
    if (fraction == m_fraction)
        return;
    m_fraction = fraction;
    update();
}

void ProgressBar::setText(const QString &text)
{
    if (m_untilInput) {
        QCoreApplication::instance()->removeEventFilter(this);
        m_untilInput = false;
    }
    if (text == m_text)
        return;
    m_text = text;
    setTextVisible(!text.isEmpty());
    setAccessibleDescription(text);
    update();
}

void ProgressBar::setTextUntilInput(const QString &text)
{
    setText(text);
    m_untilInput = true;
    QCoreApplication::instance()->installEventFilter(this);
}

bool ProgressBar::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        if (const auto *widget = qobject_cast<QWidget *>(watched); widget && widget->window() == window())
            setText(QString());
    }
    return QProgressBar::eventFilter(watched, event);
}

void ProgressBar::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    const qint64 span = qint64(maximum()) - minimum();
    if (m_fraction > 0.0 && span > 0 && span <= INT_MAX / kSubSteps && value() < maximum()) {
        option.minimum = 0;
        option.maximum = int(span * kSubSteps);
        option.progress = int((value() - minimum()) * kSubSteps + m_fraction * kSubSteps);
    }
    painter.drawControl(QStyle::CE_ProgressBar, option);
}

} // namespace app
