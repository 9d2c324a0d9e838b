// SPDX-License-Identifier: GPL-3.0-or-later
// The right-hand panel and the sponsor line: where each click leads, the pictures' first frames,
// the scroll bar's rule and the page shown at start-up.
#include "form_access.h"

#include "app/panel/links.h"
#include "app/form/tform1.h"
#include "app/panel/url_opener.h"
#include "app/panel/web_browser.h"

#include <QAccessible>
#include <QFileInfo>
#include <QLabel>
#include <QMovie>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <QWheelEvent>

using apptest::control;

namespace {

// Catches the links handed to the desktop for as long as it lives.
class OpenedLinks {
public:
    OpenedLinks() : m_previous(app::setUrlOpener([this](const QString &link) { m_links << link; })) {}
    ~OpenedLinks() { app::setUrlOpener(m_previous); }
    const QStringList &links() const { return m_links; }

private:
    QStringList m_links;
    app::UrlOpener m_previous;
};

QString pageText(app::WebBrowser &browser)
{
    return browser.findChild<QTextBrowser *>()->toPlainText();
}

} // namespace

class AdvertisingPanelTest : public QObject {
    Q_OBJECT
private slots:
    void clicksOpenTheirLinks_data();
    void clicksOpenTheirLinks();
    void pressReleasedElsewhereOpensNothing();
    void shippedPagesAreFound();
    void pictures_data();
    void pictures();
    void animationGoesOnFromTheStartFrame();
    void scrollBarStartsAsLaidOut();
    void firstChangeWorksFromTheLayoutHeight();
    void positionBeyondTheNewMaximumIsPulledIn();
    void wheelOverAPictureScrollsToTheEnd();
    void pageLoadedOnceAtStartUp();
    void missingOrRemotePageGivesWayToTheBuiltInCopy();
};

void AdvertisingPanelTest::clicksOpenTheirLinks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("tabStop");
    QTest::newRow("first picture: maker's page") << "RxGIFAnimator1" << app::links::makerPage() << true;
    QTest::newRow("second picture: the same page") << "RxGIFAnimator2" << app::links::makerPage() << false;
    QTest::newRow("third picture: advertiser's page") << "RxGIFAnimator3" << app::links::advertiserPage() << true;
    QTest::newRow("fourth picture: mail") << "RxGIFAnimator4" << app::links::mailLink() << true;
    QTest::newRow("sponsor line") << "Label4" << app::links::sponsorPage() << true;
}

// A click opens the link, and so do Enter and a screen reader's press; Tab reaches the link, which
// then comes into sight.
void AdvertisingPanelTest::clicksOpenTheirLinks()
{
    QFETCH(QString, name);
    QFETCH(QString, link);
    QFETCH(bool, tabStop);
    app::TForm1 form;
    apptest::showPageOf(form, "Label4");
    OpenedLinks opened;
    QWidget *target = control(form, qPrintable(name));
    QTest::mouseClick(target, Qt::LeftButton);
    QTest::keyClick(target, Qt::Key_Return);
    QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(target);
    QCOMPARE(spoken->role(), QAccessible::Link);
    spoken->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(opened.links(), QStringList({link, link, link}));
    QCOMPARE(bool(target->focusPolicy() & Qt::TabFocus), tabStop);
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    target->clearFocus(); // the click gave it the focus
    target->setFocus(Qt::TabFocusReason);
    const QRect shown(target->mapTo(target->parentWidget()->parentWidget(), QPoint()), target->size());
    QVERIFY(target->parentWidget()->parentWidget()->rect().contains(shown));
}

void AdvertisingPanelTest::pressReleasedElsewhereOpensNothing()
{
    app::TForm1 form;
    apptest::showPageOf(form, "Label4");
    OpenedLinks opened;
    QWidget *picture = control(form, "RxGIFAnimator1");
    QTest::mousePress(picture, Qt::LeftButton);
    QTest::mouseRelease(picture, Qt::LeftButton, {}, QPoint(-5, -5));
    QTest::mouseClick(picture, Qt::RightButton);
    QVERIFY(opened.links().isEmpty());
}

void AdvertisingPanelTest::shippedPagesAreFound()
{
    // The build puts them beside the program as an installation does.
    for (const char *page : {"advertising.html", "sponsor.html"}) {
        const QUrl url(app::links::shippedPage(QString::fromLatin1(page)));
        QVERIFY2(url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile(), qPrintable(url.toString()));
    }
    QVERIFY(app::links::mailLink().startsWith(QLatin1String("mailto:")));
    QVERIFY(app::links::advertiserPage() != app::links::makerPage());
}

void AdvertisingPanelTest::pictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<int>("frame");
    QTest::addColumn<bool>("animated");
    QTest::newRow("cut") << "RxGIFAnimator1" << QRect(8, 16, 100, 100) << 3 << true;
    QTest::newRow("unite") << "RxGIFAnimator2" << QRect(8, 128, 100, 100) << 4 << true;
    QTest::newRow("codify") << "RxGIFAnimator3" << QRect(8, 240, 100, 100) << 1 << true;
    QTest::newRow("erase, a still") << "RxGIFAnimator4" << QRect(8, 352, 100, 100) << 0 << false;
}

void AdvertisingPanelTest::pictures()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QFETCH(int, frame);
    QFETCH(bool, animated);
    app::TForm1 form;
    auto *picture = control<QLabel>(form, qPrintable(name));
    QCOMPARE(picture->parentWidget()->objectName(), QStringLiteral("Panel1"));
    QCOMPARE(picture->geometry(), rect);
    QCOMPARE(picture->cursor().shape(), Qt::PointingHandCursor);
    QMovie *movie = picture->movie();
    QVERIFY(movie && movie->isValid());
    QCOMPARE(movie->currentFrameNumber(), frame);
    QCOMPARE(movie->state() == QMovie::Running, animated);
    if (animated)
        QVERIFY(movie->frameCount() >= 5);
    else
        QCOMPARE(movie->frameCount(), 1);
}

void AdvertisingPanelTest::animationGoesOnFromTheStartFrame()
{
    app::TForm1 form;
    QMovie *cut = control<QLabel>(form, "RxGIFAnimator1")->movie();
    QMovie *erase = control<QLabel>(form, "RxGIFAnimator4")->movie();
    QTRY_COMPARE_WITH_TIMEOUT(cut->currentFrameNumber(), 4, 2000);
    QCOMPARE(erase->currentFrameNumber(), 0);
    QCOMPARE(erase->state(), QMovie::NotRunning);
}

void AdvertisingPanelTest::scrollBarStartsAsLaidOut()
{
    app::TForm1 form;
    auto *bar = control<QScrollBar>(form, "ScrollBar1");
    QCOMPARE(bar->geometry(), QRect(113, 0, 16, 217));
    QCOMPARE(bar->orientation(), Qt::Vertical);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->singleStep(), 1);
    QCOMPARE(bar->pageStep(), 1);
    QCOMPARE(control(form, "Panel1")->geometry(), QRect(0, 0, 116, 741));
    QCOMPARE(control(form, "WebBrowser1")->geometry(), QRect(8, 464, 100, 204));
}

void AdvertisingPanelTest::firstChangeWorksFromTheLayoutHeight()
{
    app::TForm1 form;
    auto *bar = control<QScrollBar>(form, "ScrollBar1");
    QWidget *panel = control(form, "Panel1");
    const int notebook = control(form, "TabbedNotebook1")->height(); // tab strip included
    QCOMPARE(notebook, 245);

    bar->setValue(10);
    QCOMPARE(bar->maximum(), 741 - 245);
    QCOMPARE(panel->y(), -10);
    QCOMPARE(panel->height(), 464 + 204 + 40);

    bar->setValue(20);
    QCOMPARE(bar->maximum(), 708 - 245);
    QCOMPARE(panel->y(), -20);
    QCOMPARE(panel->height(), 708);

    // At the end the column's bottom meets the notebook's bottom edge.
    bar->setValue(bar->maximum());
    QCOMPARE(panel->y() + panel->height(), notebook);
}

void AdvertisingPanelTest::positionBeyondTheNewMaximumIsPulledIn()
{
    app::TForm1 form;
    auto *bar = control<QScrollBar>(form, "ScrollBar1");
    QWidget *panel = control(form, "Panel1");
    bar->setValue(1);   // maximum 496 from the layout height
    bar->setValue(480); // beyond the 463 that this change sets
    QCOMPARE(bar->maximum(), 463);
    QCOMPARE(bar->value(), 463);
    QCOMPARE(panel->y(), -463); // the column follows the position the bar shows
}

// Tab does not walk into the strip's scrolling parts, nor to a second picture of one link; three
// notches reach its end.
void AdvertisingPanelTest::wheelOverAPictureScrollsToTheEnd()
{
    app::TForm1 form;
    for (const char *name : {"RxGIFAnimator2", "WebBrowser1View"})
        QCOMPARE(control(form, name)->focusPolicy(), Qt::ClickFocus);
    QCOMPARE(control(form, "ScrollBar1")->focusPolicy(), Qt::NoFocus);
    auto *bar = control<QScrollBar>(form, "ScrollBar1");
    QWidget *picture = control(form, "RxGIFAnimator2");
    for (int notch = 0; notch < 3; ++notch) {
        QWheelEvent wheel(QPointF(50, 50), picture->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(picture, &wheel);
    }
    QCOMPARE(bar->value(), 708 - 245);
}

void AdvertisingPanelTest::pageLoadedOnceAtStartUp()
{
    app::TForm1 form;
    auto *browser = control<app::WebBrowser>(form, "WebBrowser1");
    QCOMPARE(browser->navigations(), 1);
    QCOMPARE(browser->link(), app::links::makerPage());
    control<QScrollBar>(form, "ScrollBar1")->setValue(30);
    control<QTabWidget>(form, "TabbedNotebook2")->setCurrentIndex(3);
    QCOMPARE(browser->navigations(), 1);
    if (!app::WebBrowser::hasWebEngine())
        QVERIFY(pageText(*browser).contains(QStringLiteral("Skarvel")));
}

void AdvertisingPanelTest::missingOrRemotePageGivesWayToTheBuiltInCopy()
{
    const QString builtIn = QStringLiteral("qrc:/skarvel/pages/advertising.html");
    QWidget parent;
    app::WebBrowser browser(&parent, builtIn);
    browser.navigate(QUrl::fromLocalFile(QStringLiteral("/nonexistent/advertising.html")).toString());
    QCOMPARE(browser.shown(), builtIn);
    if (app::WebBrowser::hasWebEngine())
        return;
    QVERIFY(pageText(browser).contains(QStringLiteral("Skarvel")));
    // Without WebEngine nothing is fetched from the network.
    browser.navigate(QStringLiteral("https://example.org/"));
    QCOMPARE(browser.shown(), builtIn);
}

QTEST_MAIN(AdvertisingPanelTest)
#include "test_advertising_panel.moc"
