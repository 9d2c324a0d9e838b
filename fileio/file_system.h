// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace fileio {

// What the file system under a folder allows that a cut must know before it writes: FAT holds no
// file of 4 GiB or more, and FAT, exFAT and NTFS take no name with < > : " \ | ? * or a control
// character in it.
struct FileSystemRules {
    const char *kind = nullptr;   // "FAT", "exFAT", "NTFS"; nullptr for one without these rules
    std::int64_t largestFile = 0; // in bytes; 0 for no limit a cut meets
    bool windowsNames = false;    // names follow the rule above
};

// The rules for a file system of this type (statfs's f_type).
FileSystemRules rulesOfType(std::uint64_t type);

// The rules of the file system holding the folder (a directory part as directoryPart() gives it,
// empty for the current one), asked of the folder opened. Returns 0 or the error number; the
// rules stay those of a file system without them then.
[[nodiscard]] int fileSystemRules(const std::string &directory, FileSystemRules &rules);

// The first character of `name` such a file system refuses in a name; 0 for none.
char refusedNameCharacter(const std::string &name);

} // namespace fileio
