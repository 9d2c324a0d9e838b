// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace ops {

// Converts a typed number as a signed 32-bit decimal integer: an optional sign, then one or
// more digits (leading zeros allowed), nothing else. Anything else, overflow included, fails
// with "'TEXT' is not a valid integer value" through the default error box.
std::int32_t StrToInt(std::string_view text);

} // namespace ops
