#pragma once

#include <QIcon>
#include <QPixmap>

namespace app {

// The program's picture: a sheet cut into two pieces. Drawn, so that no image file is needed.
QPixmap productPicture(int width, int height);
QIcon productIcon();

} // namespace app
