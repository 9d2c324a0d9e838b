// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "digest/sha256.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The shell joiner (kShJoinerName): a POSIX shell script for the systems no joiner program runs
// on, macOS and the BSDs among them. It carries the set itself (each part's name, size and
// SHA-256), so it reads no list; it checks every part with whichever of sha256sum, shasum or
// sha256 the system has, joins them with cat under a temporary beside the output and gives the
// output its name only when whole and checked. Every name in it travels as printf escapes, so the
// script is plain ASCII whatever bytes the names hold.
namespace lists {

struct ShJoinerPart {
    std::string name; // the file name, beside the script
    std::int64_t size = 0;
    std::optional<digest::Sha256Digest> digest; // without it only the size is checked
};

struct ShJoinerSet {
    std::vector<ShJoinerPart> parts;
    std::string wholeName; // the file cut: what the join is called unless told otherwise
    // The whole file's, when the parts join into it (none was left out); checked after the join.
    std::optional<digest::Sha256Digest> wholeDigest;
};

// The script's text.
std::string shJoinerScript(const ShJoinerSet &set);

} // namespace lists
