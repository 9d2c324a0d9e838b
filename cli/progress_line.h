// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace cli {

// A byte count in binary units: "512 B", "1.5 KiB", "3.9 GiB".
std::string binarySize(std::int64_t bytes);

// The progress line's text for `done` of `total` bytes after `seconds`:
// " 42.0%  1.6 GiB of 3.9 GiB  215.3 MiB/s  0:11 left". Rate and time left show as "--"
// until some bytes have moved.
std::string progressLine(std::int64_t done, std::int64_t total, double seconds);

} // namespace cli
