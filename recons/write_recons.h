#pragma once

#include "recons_image.h"

#include "fileio/file.h"

#include <optional>

namespace recons {

inline constexpr const char *kReconsName = "Recons.exe";

// Writes the joiner image for `platform` to "Recons.exe" in the current directory, replacing a
// file of that name unless that name leads to `keep` (the file being cut), and leaves it
// executable (0777 less the umask). Fails through IoErrorReport.
void WriteRecons(const std::optional<fileio::FileId> &keep = std::nullopt,
                 JoinerPlatform platform = JoinerPlatform::Linux);

} // namespace recons
