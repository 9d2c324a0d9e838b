// SPDX-License-Identifier: GPL-3.0-or-later
// The page view with Qt WebEngine (SKARVEL_WEBENGINE): it shows remote pages too.
#include "web_browser.h"

#include <QUrl>
#include <QWebEngineView>

namespace app {

bool WebBrowser::hasWebEngine()
{
    return true;
}

QWidget *WebBrowser::makeView()
{
    return new QWebEngineView(this);
}

bool WebBrowser::reaches(const QUrl &)
{
    return true;
}

void WebBrowser::showInView(const QUrl &url)
{
    static_cast<QWebEngineView *>(m_view)->load(url);
}

} // namespace app
