// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace lists {

// More than the longest path the system accepts. Longer names read from the list or typed are
// cut to this length, which still fails as a name, so no line is held in full however long.
inline constexpr std::size_t kMaxNameBytes = 4096;

} // namespace lists
