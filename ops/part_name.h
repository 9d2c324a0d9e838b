// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ops {

// The path of part n: the marker text and the number go in before the file name's last four
// characters (UTF-8 characters; a byte that is not valid UTF-8 counts as one), or at the start of
// the file name when it has four characters or fewer, so a part always lies beside its source.
std::string PartFileName(std::string_view sourcePath, std::string_view marker, std::int64_t partNumber);

} // namespace ops
