// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace testsupport {

// A small tmpfs mounted at a new folder for one test: a disk that fills up, or that becomes
// read-only. Mounting needs root; when it fails, mounted() is false and why() says why.
class ScratchMount {
public:
    ScratchMount(const std::string &path, const std::string &size);
    // A FAT file system of `kib` KiB made by mkfs.vfat in an image beside the folder and mounted
    // through a loop device, where the kernel has vfat.
    struct Vfat {
        int kib;
    };
    ScratchMount(const std::string &path, Vfat fat);
    ~ScratchMount();
    ScratchMount(const ScratchMount &) = delete;
    ScratchMount &operator=(const ScratchMount &) = delete;

    bool mounted() const { return m_mounted; }
    std::string why() const;
    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + "/" + name; }

    // Remounts it read-only; false when the system refuses.
    bool makeReadOnly();

private:
    std::string m_path;
    bool m_mounted = false;
    int m_error = 0;
};

// Marks a file immutable (as chattr +i does) for one scope: not even root may write, rename or
// remove it. Needs a file system that keeps the flag and the right to set it.
class ScopedImmutable {
public:
    explicit ScopedImmutable(const std::string &path);
    ~ScopedImmutable();
    ScopedImmutable(const ScopedImmutable &) = delete;
    ScopedImmutable &operator=(const ScopedImmutable &) = delete;

    bool set() const { return m_set; }
    std::string why() const;

private:
    bool setFlag(bool on);

    std::string m_path;
    bool m_set = false;
    int m_error = 0;
};

} // namespace testsupport
