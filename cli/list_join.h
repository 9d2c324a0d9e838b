// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace cli {

// `unite --list`: joins the parts a part list (info.txt) names, by the joiners' rules
// (lists::ListedSet), checked against the checksum list beside it unless `verify` is off. The
// output may be neither list nor any of the parts. Throws CommandFailure for a set that cannot
// be joined, and the operation's failures.
void uniteByList(const std::string &listPath, const std::string &output, bool verify, bool quiet);

} // namespace cli
