// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/atomic_output.h"
#include "fileio/output_batch.h"

#include <optional>
#include <span>
#include <string>

namespace lists {

// An open list of the set (the part list, the checksum list): lines are buffered and reach the
// file when the buffer fills and at close(), which gives the file its name; until then an older
// list of that name stays as it was. Fails through IoErrorReport.
class OpenList {
public:
    explicit OpenList(fileio::AtomicOutput output) : m_output(std::move(output)) {}

    void add(const std::string &text);
    // Writes out what is buffered and gives the list its name, unless the name leads to a file in
    // `keep` by now; with `toDevice`, flushes it to the device first.
    void close(const fileio::FileIds &keep, bool toDevice);
    // Writes out what is buffered and hands the whole file to `batch`, which names it.
    void finishInto(fileio::OutputBatch &batch);
    std::optional<fileio::FileId> id() const { return m_output.id(); }
    const std::string &path() const { return m_output.target(); }

private:
    void flush();

    fileio::AtomicOutput m_output;
    std::string m_buffer;
};

// Starts a file of the set Cut writes beside the parts. A name that leads to a file to keep is
// refused as access denied, and one that leads to a file `existing` refuses as a file that
// exists; both fail through IoErrorReport, as any failure to create it.
fileio::AtomicOutput openSetOutput(const std::string &path, const fileio::FileIds &keep,
                                   fileio::AtomicOutput::Existing existing, mode_t mode = 0666);

// The mode a joiner is written with, less the umask, so that it runs.
inline constexpr mode_t kExecutableMode = 0777;

// A set file of these bytes (a joiner), whole but not yet named: the caller names it with the
// rest of the set.
fileio::AtomicOutput writeSetFile(const std::string &path, std::span<const unsigned char> bytes,
                                  const fileio::FileIds &keep, fileio::AtomicOutput::Existing existing, mode_t mode);

// Fails as a file that exists when anything bears the name, a dangling link included.
void refuseExisting(const std::string &path);

// Ends the naming of a set file with the error finish() returned, through IoErrorReport.
void finishSetOutput(const std::string &path, int err);

} // namespace lists
