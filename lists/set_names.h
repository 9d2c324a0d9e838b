// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The names of the files of a set, the files Cut writes beside the parts; each is said here only.
namespace lists {

// The part list: the names of the parts, in their order.
inline constexpr const char *kPartListName = "info.txt";
// The checksum list: each part's SHA-256, then the whole file's.
inline constexpr const char *kChecksumListName = "info.sha256";
// The joiners. "Recons.exe" is the name Windows users know and double-click, so it holds the
// Windows joiner; the Linux joiner goes beside it as "recons".
inline constexpr const char *kWindowsJoinerName = "Recons.exe";
inline constexpr const char *kLinuxJoinerName = "recons";
// The shell joiner (sh_joiner.h), for macOS and the BSDs: a Mac user runs "sh join.command" in
// Terminal, or opens it in the Finder, which runs a .command file in Terminal.
inline constexpr const char *kShJoinerName = "join.command";

// Recovery part `index` (1-based) of the source `sourceFileName`: "film.mkv.rec1", ... A part's name
// never ends so (a digit before the source's last four characters, or ".ddd" after it), and these
// sort after the parts.
inline std::string recoveryPartName(const std::string &sourceFileName, int index)
{
    return sourceFileName + ".rec" + std::to_string(index);
}

// The systems a joiner is built for: the recipients of the parts run it there.
// Sh: any system with a POSIX shell.
enum class JoinerPlatform { Linux, Windows, Sh };

constexpr const char *joinerFileName(JoinerPlatform platform)
{
    switch (platform) {
    case JoinerPlatform::Windows:
        return kWindowsJoinerName;
    case JoinerPlatform::Sh:
        return kShJoinerName;
    case JoinerPlatform::Linux:
        break;
    }
    return kLinuxJoinerName;
}

} // namespace lists
