// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// UTF-8 names and console text to and from the UTF-16 of the wide Windows calls (Windows only).
namespace fileio {

// False when the text is no valid UTF-8, or holds a NUL: such a name cannot be a file's.
bool wideFromUtf8(std::string_view text, std::wstring &wide);
// Unpaired surrogates become U+FFFD.
std::string utf8FromWide(std::wstring_view wide);

} // namespace fileio
