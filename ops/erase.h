// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace ops {

class ProgressSink;

// Overwrites every byte of the file with 0, flushes it to the device, then removes it. Throws
// Failure; a stop midway throws Stopped saying how many bytes are zeros (the file is kept). A
// failed removal throws nothing: it returns that removal's errno (0 once the file is gone), or
// kChanged when the name leads to another file by now, which the window leaves unreported and
// the command line reports.
int Erase(const std::string &path, ProgressSink &progress);

} // namespace ops
