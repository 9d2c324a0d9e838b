// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProgressBar>

namespace app {

// A progress bar that can also show how far the unit under way is: a Cut of two 2 GiB parts has
// a range of 2, yet its bar moves while each part is copied. value() and maximum() keep the
// operation's own count.
class ProgressBar final : public QProgressBar {
    Q_OBJECT

public:
    using QProgressBar::QProgressBar;

    // 0 to 1: the share of the next unit already done.
    void setFraction(double fraction);
    double fraction() const { return m_fraction; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_fraction = 0.0;
};

} // namespace app
