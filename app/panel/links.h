// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace app::links {

// The links of the advertising panel and of the About page's sponsor line, as link texts.
// A packager sets them when configuring the build (see the README); by default they lead to the
// pages installed with the program.

QString makerPage();      // the first two pictures, and the page shown in the panel
QString advertiserPage(); // the third picture
QString mailLink();       // the fourth picture: "mailto:" and mailAddress()
QString sponsorPage();    // the About page's sponsor line
QString mailAddress();

// The installed copy of a page shipped with the program, as a file link: the data folder beside
// the program's own folder first (an installed tree or the build tree), then the one the build
// was configured to install to.
QString shippedPage(const QString &fileName);

} // namespace app::links
