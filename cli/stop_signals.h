// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace cli {

// SIGINT and SIGTERM ask the operation under way to stop: it ends between two blocks as a failed
// one does, so its temporary files go and nothing partial keeps an output's name. A second signal
// ends the program at once.
void catchStopSignals();
bool stopSignalled();
// The exit status of a run stopped by a signal: 128 and its number (130 for SIGINT, 143 for
// SIGTERM); 1 when none came.
int stopSignalStatus();

} // namespace cli
