// SPDX-License-Identifier: GPL-3.0-or-later
#include "web_browser.h"

#include <QFileInfo>
#include <QUrl>
#include <QVBoxLayout>

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
    m_view = makeView();
    m_view->setObjectName(QStringLiteral("WebBrowser1View"));
    // The strip may be scrolled out of sight: Tab must not walk into the page.
    m_view->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(m_view);
}

void WebBrowser::navigate(const QString &link)
{
    m_link = link;
    ++m_navigations;
    const QUrl url(link);
    m_shown = reaches(url) && !missingFile(url) ? link : m_fallback;
    showInView(QUrl(m_shown));
}

} // namespace app
