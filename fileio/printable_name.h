// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace fileio {

// A name as a terminal may be shown it: every control character, C0 (NUL and line ends among
// them), DEL and C1 (U+0080 to U+009F, or such a byte outside UTF-8), becomes "?", so that a name
// from a stranger's list cannot send the terminal escape sequences or end a line early. Every
// other byte stays as it is.
std::string printableName(std::string_view name);

} // namespace fileio
