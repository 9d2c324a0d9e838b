// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

namespace app {

// The program's picture: a sheet cut into two pieces, drawn at any size.
QPixmap productPicture(int width, int height);
// The same picture as the desktop's icons (the built-in PNGs), the small sizes drawn on their
// pixel grid.
QIcon productIcon();

} // namespace app
