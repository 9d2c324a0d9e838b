#pragma once

#include <string>

namespace recons {

// True when this process holds the file that `path` names open, by identity through any path or
// link. The part list and the joiner are written over whatever bears their names, and the file a
// Cut reads from is open while they are written: this keeps a source named "info.txt" or
// "Recons.exe" from being emptied.
bool isHeldOpen(const std::string &path);

} // namespace recons
