// SPDX-License-Identifier: GPL-3.0-or-later
#include "web_browser.h"

#include <QFileInfo>
#include <QUrl>
#include <QVBoxLayout>

#ifdef SKARVEL_WEBENGINE
#include <QWebEngineView>
#else
#include <QTextBrowser>
#endif

namespace app {

namespace {

bool missingFile(const QUrl &url)
{
    return url.isLocalFile() && !QFileInfo(url.toLocalFile()).isFile();
}

} // namespace

WebBrowser::WebBrowser(QWidget *parent, QString fallback) : QWidget(parent), m_fallback(std::move(fallback))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
#ifdef SKARVEL_WEBENGINE
    m_view = new QWebEngineView(this);
#else
    auto *text = new QTextBrowser(this);
    // The strip has its scroll bar already, and the page is made to fit the view: a second bar
    // would only take the width the words need. The wheel still scrolls a longer page.
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->document()->setDocumentMargin(2);
    text->setOpenExternalLinks(true);
    m_view = text;
#endif
    m_view->setObjectName(QStringLiteral("WebBrowser1View"));
    // The strip may be scrolled out of sight: Tab must not walk into the page.
    m_view->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(m_view);
}

bool WebBrowser::hasWebEngine()
{
#ifdef SKARVEL_WEBENGINE
    return true;
#else
    return false;
#endif
}

void WebBrowser::navigate(const QString &link)
{
    m_link = link;
    ++m_navigations;
    const QUrl url(link);
#ifdef SKARVEL_WEBENGINE
    const bool shownHere = !missingFile(url);
#else
    // A text browser reads files only, and takes no notice of a query.
    const bool shownHere = url.isLocalFile() && !missingFile(url);
#endif
    m_shown = shownHere ? link : m_fallback;
#ifdef SKARVEL_WEBENGINE
    static_cast<QWebEngineView *>(m_view)->load(QUrl(m_shown));
#else
    QUrl source(m_shown);
    source.setQuery(QString());
    static_cast<QTextBrowser *>(m_view)->setSource(source, QTextDocument::HtmlResource);
#endif
}

} // namespace app
