// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProgressBar>

namespace app {

// A progress bar that can also show how far the unit under way is: a Cut of two 2 GiB parts has
// a range of 2, yet its bar moves while each part is copied. value() and maximum() keep the
// operation's own count. Its text is the window's to say, none by default.
class ProgressBar final : public QProgressBar {
    Q_OBJECT

public:
    explicit ProgressBar(QWidget *parent = nullptr);

    // 0 to 1: the share of the next unit already done.
    void setFraction(double fraction);
    double fraction() const { return m_fraction; }

    // The text shown over the bar, also to a screen reader; empty: none.
    void setText(const QString &text);
    // Shows `text` until the next key or mouse button pressed in the bar's window.
    void setTextUntilInput(const QString &text);
    QString text() const override { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    double m_fraction = 0.0;
    QString m_text;
    bool m_untilInput = false;
};

} // namespace app
