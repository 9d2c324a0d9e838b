#pragma once

namespace recons {

inline constexpr const char *kReconsName = "Recons.exe";

// Writes the joiner image to "Recons.exe" in the current directory, replacing a file of that
// name unless this process holds that file open, and leaves it executable (0777 less the
// umask). Fails through IoErrorReport.
void WriteRecons();

} // namespace recons
