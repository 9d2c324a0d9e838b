// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

class QUrl;

namespace app {

// The panel's small web page view: a text browser that shows local pages, or Qt WebEngine when the
// build is configured with SKARVEL_WEBENGINE. A page that cannot be shown here (a local file that is
// missing, or a remote page without WebEngine) gives way to `fallback`, a copy built into the
// program.
class WebBrowser final : public QWidget {
public:
    WebBrowser(QWidget *parent, QString fallback);

    void navigate(const QString &link);

    // What was asked for last, and how often the view was sent anywhere.
    const QString &link() const { return m_link; }
    int navigations() const { return m_navigations; }
    // The link the view was given in the end: `link()` itself or the fallback.
    const QString &shown() const { return m_shown; }

    static bool hasWebEngine();

private:
    // The view itself, from the file CMake picks: web_browser_textview.cpp or
    // web_browser_webengine.cpp.
    QWidget *makeView();
    // Whether the view can fetch `url` at all, leaving aside a missing file.
    static bool reaches(const QUrl &url);
    void showInView(const QUrl &url);

    QWidget *m_view;
    QString m_fallback;
    QString m_link;
    QString m_shown;
    int m_navigations = 0;
};

} // namespace app
