// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QLabel;
class QScrollBar;
class QWheelEvent;
class QWidget;

namespace app {

class WebBrowser;

// The right-hand page "Реклама": a column (Panel1) of four pictures and a small web page view,
// taller than the page and moved up and down by ScrollBar1 or by the wheel over it. Every picture
// opens its link.
class AdvertisingPanel final : public QObject {
public:
    // Builds the controls on `page`; `notebook` is the strip that holds it, whose whole height is
    // what the column scrolls against.
    AdvertisingPanel(QWidget &page, const QWidget &notebook);

    // Shows the maker's page in the web page view; the window does this once, when it is created.
    void loadPage();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void scrollByWheel(const QWheelEvent &wheel);
    QLabel *picture(const char *name, const char *file, int top, int startFrame, bool animated, Qt::FocusPolicy focus);
    void scrollIntoSight(const QWidget &picture);

    void RxGIFAnimator1Click();
    void RxGIFAnimator2Click();
    void RxGIFAnimator3Click();
    void RxGIFAnimator4Click();
    void ScrollBar1Change();

    const QWidget &m_notebook;
    QWidget *m_panel;
    QScrollBar *m_scrollBar;
    WebBrowser *m_browser = nullptr;
};

} // namespace app
