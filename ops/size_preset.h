// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace ops {

// A part size people cut for again and again: a file system's largest file, an upload or message
// limit, a disc. `bytes` is exact; `purpose` says what it is for, in the help's words.
struct SizePreset {
    const char *name;
    std::int64_t bytes;
    const char *purpose;
};

// Every preset, smallest first: the command line's --size and the window's unit box offer them.
std::span<const SizePreset> sizePresets();
// The preset of that name, exactly as the table spells it; nullptr for none.
const SizePreset *sizePresetNamed(std::string_view name);
// The preset that is exactly this many bytes; nullptr for none.
const SizePreset *sizePresetOf(std::int64_t bytes);
// The largest preset of at most `bytes`; nullptr for none.
const SizePreset *largestPresetWithin(std::int64_t bytes);

} // namespace ops
