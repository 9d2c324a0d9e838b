// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace testsupport {

// Gives the set Cut made in `dir` (its info.txt and info.sha256, every part there) `perGroup`
// recovery parts per group, coded by ISA-L's own encoder, with their lines in info.sha256 before
// the whole file's: what `cut --recovery` makes, made another way.
void addRecoveryParts(const std::string &dir, int perGroup);

} // namespace testsupport
