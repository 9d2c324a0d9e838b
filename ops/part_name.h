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

// The path of part n of partCount named as many tools read parts: the whole source path, a dot
// and the number with leading zeros to three digits, or to as many as partCount has
// (film.mkv.001, ..., film.mkv.1000 of 1000 parts being film.mkv.0001).
std::string NumberedPartName(std::string_view sourcePath, std::int64_t partNumber, std::int64_t partCount);

} // namespace ops
