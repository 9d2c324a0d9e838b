// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "file.h"

#include <optional>
#include <string>

namespace fileio {

// An output that carries its name only when whole. Its bytes go to a temporary file in the folder
// of the file the name leads to (links followed), and finish() gives it the name in one rename once
// they are all there, so a failure, a stop or a kill leaves a file of that name as it was and no
// partial file under it. In the same folder the rename never copies, and a clone stays a clone.
// Where the file system allows it the temporary has no name at all until it is finished, so a
// kill leaves nothing behind; elsewhere it is a hidden ".skarvel-…" file beside the target.
// Dropped unfinished, the temporary is removed.
class AtomicOutput {
public:
    // Whether a file the name already leads to may be replaced.
    enum class Existing { Replace, Refuse };

    AtomicOutput() = default;
    ~AtomicOutput();
    AtomicOutput(AtomicOutput &&other) noexcept;
    AtomicOutput &operator=(AtomicOutput &&other) noexcept;
    AtomicOutput(const AtomicOutput &) = delete;
    AtomicOutput &operator=(const AtomicOutput &) = delete;

    // Starts the output for `path`. Fails with kKeptFile when the name leads to a file of `keep`,
    // kNotRegularFile when it leads to something else than a regular file, EEXIST when it leads to
    // a file that `existing` refuses to replace, or the system's error. A new file gets `mode`
    // less the umask; a file replaced keeps its permission bits.
    [[nodiscard]] int open(const std::string &path, const FileIds &keep, mode_t mode = 0666,
                           Existing existing = Existing::Replace);

    bool isOpen() const { return m_file.isOpen(); }
    File &file() { return m_file; }
    // The identity the finished file will have: already the temporary's.
    std::optional<FileId> id() const { return fileId(m_file); }
    // The name it gets: the path given, or the file it led to through links.
    const std::string &target() const { return m_target; }

    // Gives the output its name: with `toDevice` its data reach the device first; then it is
    // closed and renamed over the name, unless the name now leads to a file of `keep`
    // (kKeptFile) or, refusing existing files, to any file (EEXIST). On failure the temporary is
    // removed and the name left as it was.
    [[nodiscard]] int finish(const FileIds &keep, bool toDevice = false);
    // Removes the temporary; the name stays as it was.
    void abandon();

private:
    // Links an unnamed temporary into its folder under a fresh hidden name.
    [[nodiscard]] int nameTemporary();
    [[nodiscard]] int rename(const FileIds &keep);

    File m_file;
    std::string m_target;
    std::string m_temporary; // its name beside the target; empty while it has none
    Existing m_existing = Existing::Replace;
};

} // namespace fileio
