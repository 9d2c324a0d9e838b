// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

namespace app {

// Hands a link to the desktop, which opens it in the user's default program. Whether that worked
// is not examined: the program says nothing of its own when a link cannot be opened.
void OpenUrl(const QString &link);

using UrlOpener = std::function<void(const QString &link)>;

// Puts `opener` in the desktop's place (tests watch the links this way); an empty one restores the
// desktop. Returns the opener that was in place.
UrlOpener setUrlOpener(UrlOpener opener);

} // namespace app
