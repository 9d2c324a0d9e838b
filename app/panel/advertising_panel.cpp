// SPDX-License-Identifier: GPL-3.0-or-later
#include "advertising_panel.h"

#include "app/form/accessibility.h"
#include "app/controls/click_filter.h"
#include "links.h"
#include "url_opener.h"
#include "web_browser.h"

#include <QLabel>
#include <QMovie>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace app {

namespace {

constexpr int kPictureLeft = 8;
constexpr int kPictureSide = 100;
constexpr int kBrowserTop = 464;
constexpr int kBrowserHeight = 204;
constexpr int kBelowBrowser = 40;

const char *const kEmbeddedMakerPage = "qrc:/skarvel/pages/advertising.html";

} // namespace

AdvertisingPanel::AdvertisingPanel(QWidget &page, const QWidget &notebook) : QObject(&page), m_notebook(notebook)
{
    m_panel = new QWidget(&page);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setGeometry(0, 0, 116, 741);

    const auto onClick = [](QWidget *picture, std::function<void()> action) {
        new ClickFilter(picture, ClickFilter::Gesture::Click, std::move(action));
    };
    // Tab reaches one picture per link: the second opens the first one's page.
    onClick(picture("RxGIFAnimator1", "cut.gif", 16, 3, true, Qt::StrongFocus), [this] { RxGIFAnimator1Click(); });
    onClick(picture("RxGIFAnimator2", "unite.gif", 128, 4, true, Qt::ClickFocus), [this] { RxGIFAnimator2Click(); });
    onClick(picture("RxGIFAnimator3", "codify.gif", 240, 1, true, Qt::StrongFocus), [this] { RxGIFAnimator3Click(); });
    onClick(picture("RxGIFAnimator4", "erase.gif", 352, 0, false, Qt::StrongFocus), [this] { RxGIFAnimator4Click(); });

    m_browser = new WebBrowser(m_panel, QString::fromLatin1(kEmbeddedMakerPage));
    m_browser->setObjectName(QStringLiteral("WebBrowser1"));
    m_browser->setGeometry(kPictureLeft, kBrowserTop, kPictureSide, kBrowserHeight);

    m_scrollBar = new QScrollBar(Qt::Vertical, &page);
    m_scrollBar->setObjectName(QStringLiteral("ScrollBar1"));
    m_scrollBar->setGeometry(113, 0, 16, 217);
    m_scrollBar->setRange(0, 100);
    m_scrollBar->setSingleStep(1);
    m_scrollBar->setPageStep(1); // the trough steps by one as well
    m_scrollBar->setValue(0);
    m_scrollBar->raise(); // it overlaps the column's right edge
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &AdvertisingPanel::ScrollBar1Change);
    // The wheel over the column or a picture scrolls the column.
    m_panel->installEventFilter(this);
}

QLabel *AdvertisingPanel::picture(const char *name, const char *file, int top, int startFrame, bool animated,
                                  Qt::FocusPolicy focus)
{
    auto *label = new QLabel(m_panel);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(kPictureLeft, top, kPictureSide, kPictureSide);
    label->setAlignment(Qt::AlignCenter);
    label->setCursor(Qt::PointingHandCursor);
    // Tab walks to the pictures, never into the strip's scrolling parts; a picture it reaches is
    // scrolled into sight.
    makeLink(*label, focus);
    label->installEventFilter(this);
    auto *movie = new QMovie(QStringLiteral(":/skarvel/pictures/") + QLatin1String(file), QByteArray(), label);
    movie->setCacheMode(QMovie::CacheAll);
    label->setMovie(movie);
    if (animated)
        movie->start();
    movie->jumpToFrame(startFrame);
    return label;
}

bool AdvertisingPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        scrollByWheel(*static_cast<QWheelEvent *>(event));
        return true;
    }
    if (event->type() == QEvent::FocusIn && watched != m_panel)
        scrollIntoSight(*static_cast<QWidget *>(watched));
    return QObject::eventFilter(watched, event);
}

void AdvertisingPanel::scrollByWheel(const QWheelEvent &wheel)
{
    // The scroll bar's own steps are single pixels; a notch of the wheel (120) moves the column by
    // the height in sight instead, so a few notches reach its end.
    const double notches = wheel.angleDelta().y() / 120.0;
    m_scrollBar->setValue(m_scrollBar->value() - int(std::lround(notches * m_scrollBar->height())));
}

void AdvertisingPanel::scrollIntoSight(const QWidget &picture)
{
    const int top = picture.y() + m_panel->y();
    if (top >= 0 && top + picture.height() <= m_scrollBar->height())
        return;
    m_scrollBar->setValue(picture.y() - kPictureLeft);
}

void AdvertisingPanel::loadPage()
{
    m_browser->navigate(links::makerPage());
}

void AdvertisingPanel::RxGIFAnimator1Click()
{
    OpenUrl(links::makerPage());
}

void AdvertisingPanel::RxGIFAnimator2Click()
{
    OpenUrl(links::makerPage());
}

void AdvertisingPanel::RxGIFAnimator3Click()
{
    OpenUrl(links::advertiserPage());
}

void AdvertisingPanel::RxGIFAnimator4Click()
{
    OpenUrl(links::mailLink());
}

void AdvertisingPanel::ScrollBar1Change()
{
    // In this order: the maximum still sees the old height, so the first change works from the
    // layout's 741 and every later one from the height set below. Lowering the maximum may pull the
    // position in (and run this once more), so the position is read after it.
    m_scrollBar->setMaximum(m_panel->height() - m_notebook.height());
    m_panel->move(m_panel->x(), -m_scrollBar->value());
    m_panel->resize(m_panel->width(), m_browser->y() + m_browser->height() + kBelowBrowser);
}

} // namespace app
