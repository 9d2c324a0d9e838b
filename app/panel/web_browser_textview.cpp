// SPDX-License-Identifier: GPL-3.0-or-later
// The page view without Qt WebEngine: a text browser, which reads local files only.
#include "web_browser.h"

#include <QTextBrowser>
#include <QUrl>

namespace app {

bool WebBrowser::hasWebEngine()
{
    return false;
}

QWidget *WebBrowser::makeView()
{
    auto *text = new QTextBrowser(this);
    // The strip has its scroll bar already, and the page is made to fit the view: a second bar
    // would only take the width the words need. The wheel still scrolls a longer page.
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->document()->setDocumentMargin(2);
    text->setOpenExternalLinks(true);
    return text;
}

bool WebBrowser::reaches(const QUrl &url)
{
    return url.isLocalFile();
}

void WebBrowser::showInView(const QUrl &url)
{
    // A text browser takes no notice of a query.
    QUrl source(url);
    source.setQuery(QString());
    static_cast<QTextBrowser *>(m_view)->setSource(source, QTextDocument::HtmlResource);
}

} // namespace app
