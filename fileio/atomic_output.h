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
// A file it replaces passes on what it was beside its bytes: owner and group (where the system
// allows), permission bits (set-user-ID and the like only along with the owner and group),
// access control lists and other extended attributes. Dropped unfinished, the temporary is
// removed.
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
    // less the umask. A non-empty `temporaryName` is the temporary's own name beside the target,
    // made only where no file bears it (EEXIST otherwise).
    [[nodiscard]] int open(const std::string &path, const FileIds &keep, mode_t mode = 0666,
                           Existing existing = Existing::Replace, const std::string &temporaryName = {});

    bool isOpen() const { return m_file.isOpen(); }
    File &file() { return m_file; }
    // The identity the finished file will have: already the temporary's.
    std::optional<FileId> id() const { return m_id; }
    // The name it gets: the path given, or the file it led to through links.
    const std::string &target() const { return m_target; }
    // The permission bits of the file it replaces, which it has taken; nothing for a new file.
    std::optional<mode_t> replacedBits() const { return m_replacedBits; }

    // The output may take its name only while the name still leads to this file: the one the
    // operation read and now replaces. Otherwise finish() fails with kChanged.
    void replaceOnly(const FileId &replaced) { m_replaces = replaced; }

    // Flushes the bytes written so far to the device.
    [[nodiscard]] int flush();
    // Gives the temporary a hidden name and closes it, holding no descriptor until finish():
    // for an operation with more outputs waiting than it should keep open.
    [[nodiscard]] int park(bool toDevice);

    // Gives the output its name: with `toDevice` its data reach the device first; then it is
    // closed and renamed over the name, unless the name now leads to a file of `keep`
    // (kKeptFile), refusing existing files, to any file (EEXIST), or not to the file replaceOnly()
    // named (kChanged). On failure the temporary is removed and the name left as it was.
    [[nodiscard]] int finish(const FileIds &keep, bool toDevice = false);
    // Removes the temporary; the name stays as it was.
    void abandon();

private:
    // Links an unnamed temporary into its folder under a fresh hidden name.
    [[nodiscard]] int nameTemporary();
    [[nodiscard]] int rename(const FileIds &keep);
    // Gives the temporary what the file it replaces is beside its bytes.
    [[nodiscard]] int takeOverFrom(const std::string &replaced, const Ownership &owned);

    File m_file;
    std::optional<FileId> m_id;
    std::optional<FileId> m_replaces;
    std::optional<mode_t> m_replacedBits;
    std::string m_target;
    std::string m_temporary; // its name beside the target; empty while it has none
    Existing m_existing = Existing::Replace;
};

} // namespace fileio
