// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/file.h"

#include <optional>
#include <string>

namespace recons {

inline constexpr const char *kPartListName = "info.txt";

// The open part list "info.txt": the name part of every part created, CR LF after each.
// Lines are buffered and reach the file when the buffer fills and at ClosePartList.
class OpenList {
public:
    explicit OpenList(fileio::File file) : m_file(std::move(file)) {}

    // Writes out the buffered lines: 0 or the errno of the failed write.
    int flush();
    void append(const std::string &text);
    bool full() const;
    int syncData() { return m_file.syncData(); }
    // A checked close after the last flush.
    int close() { return m_file.close(); }
    std::optional<fileio::FileId> id() const { return fileio::fileId(m_file); }

private:
    fileio::File m_file;
    std::string m_buffer;
};

// Each fails through IoErrorReport (the default error box).
// Creates "info.txt" in the current directory, or empties it; refuses to (access denied) when the
// file that name leads to is in `keep`.
OpenList OpenPartList(const fileio::FileIds &keep = {});
// Appends the name part of the part's path and CR LF.
void AddToPartList(OpenList &list, const std::string &partPath);
// Writes out what is buffered and closes the file; with `toDevice`, flushes it to the device first.
void ClosePartList(OpenList &list, bool toDevice = false);

} // namespace recons
