// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace app {

// Reads the window program's command line before any application or window exists, so that
// --help and --version need no display. Gives the exit status when the program stops here (after
// the help, the version, or a line naming what cannot be used), nothing when the window is to
// open; Qt's own options are left in argv for QApplication.
std::optional<int> answerCommandLine(int argc, char **argv);

} // namespace app
