// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "set_names.h"

#include "fileio/atomic_output.h"

#include <string>

namespace lists {

// The open part list "info.txt": the name part of every part created, CR LF after each. Lines are
// buffered and reach the file when the buffer fills and at ClosePartList, which gives the file its
// name; until then an older list of that name stays as it was.
class OpenList {
public:
    explicit OpenList(fileio::AtomicOutput output) : m_output(std::move(output)) {}

    // Writes out the buffered lines: 0 or the errno of the failed write.
    [[nodiscard]] int flush();
    void append(const std::string &text);
    bool full() const;
    // Gives the written list its name, with `toDevice` flushed to the device first.
    [[nodiscard]] int finish(const fileio::FileIds &keep, bool toDevice) { return m_output.finish(keep, toDevice); }
    std::optional<fileio::FileId> id() const { return m_output.id(); }
    const std::string &path() const { return m_output.target(); }

private:
    fileio::AtomicOutput m_output;
    std::string m_buffer;
};

// Each fails through IoErrorReport (the default error box).
// Starts "info.txt" in `folder` (a directory part, empty for the current one); refuses to (access
// denied) when the name leads to a file in `keep`, and, with `existing` refusing, to an existing
// file.
OpenList OpenPartList(const std::string &folder = {}, const fileio::FileIds &keep = {},
                      fileio::AtomicOutput::Existing existing = fileio::AtomicOutput::Existing::Replace);
// Appends the name part of the part's path and CR LF.
void AddToPartList(OpenList &list, const std::string &partPath);
// Writes out what is buffered and gives the list its name, unless the name leads to a file in
// `keep` by now; with `toDevice`, flushes it to the device first.
void ClosePartList(OpenList &list, const fileio::FileIds &keep = {}, bool toDevice = false);

} // namespace lists
