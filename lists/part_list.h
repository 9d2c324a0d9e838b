// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "set_names.h"
#include "set_output.h"

#include "fileio/atomic_output.h"

#include <string>
#include <string_view>

namespace lists {

// The part list "info.txt": the name part of every part created, CR LF after each. Each of these
// fails through IoErrorReport (the default error box).

// Whether info.txt can hold the name: CR, LF and Ctrl-Z end a line or the list.
bool partListCanHold(std::string_view name);
// Why it cannot, in words.
inline constexpr const char *kPartListCannotHold = "info.txt cannot hold a name with a line end or Ctrl-Z";

// Starts "info.txt" in `folder` (a directory part, empty for the current one); refuses to (access
// denied) when the name leads to a file in `keep`, and, with `existing` refusing, to an existing
// file.
OpenList OpenPartList(const std::string &folder = {}, const fileio::FileIds &keep = {},
                      fileio::AtomicOutput::Existing existing = fileio::AtomicOutput::Existing::Replace);
// Appends the name part of the part's path and CR LF; a name the list cannot hold fails through
// IoErrorReport ("Invalid filename") before anything is written.
void AddToPartList(OpenList &list, const std::string &partPath);
// Writes out what is buffered and gives the list its name, unless the name leads to a file in
// `keep` by now; with `toDevice`, flushes it to the device first.
void ClosePartList(OpenList &list, const fileio::FileIds &keep = {}, bool toDevice = false);

} // namespace lists
