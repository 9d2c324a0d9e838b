// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "child_process.h"

#include "partset/recons_image.h"
#include "partset/write_recons.h"

#include <fstream>
#include <string>

// The joiner a test binary runs, chosen when it is built: SKARVEL_WINDOWS_JOINER 0 runs the Linux
// image itself, 1 the Windows image under SKARVEL_WINE in the prefix SKARVEL_WINE_PREFIX, which
// the wine_prefix test makes and marks ready in SKARVEL_WINE_PREFIX.status. One test source so
// serves both images.
namespace testsupport {

inline constexpr partset::JoinerPlatform kTestedJoiner =
    SKARVEL_WINDOWS_JOINER ? partset::JoinerPlatform::Windows : partset::JoinerPlatform::Linux;
inline constexpr bool kWindowsJoiner = kTestedJoiner == partset::JoinerPlatform::Windows;
// Its file name in a set: "Recons.exe" for Windows, "recons" for Linux.
inline constexpr const char *kTestedJoinerFile = partset::joinerFileName(kTestedJoiner);
// What makes skarvel-cli cut --recons write the tested joiner.
inline constexpr const char *kJoinerOption = kWindowsJoiner ? "--joiner=windows" : "--joiner=linux";

// How the joiner file `tool` is started.
inline Command joinerCommand(const std::string &tool)
{
    if (!kWindowsJoiner)
        return {tool, {}};
    // Quiet, and without a display, so that wine never shows a window or asks anything.
    return {"/usr/bin/env",
            {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "WINEPREFIX=" SKARVEL_WINE_PREFIX, "WINEDEBUG=-all",
             "WINEDLLOVERRIDES=mscoree,mshtml=", SKARVEL_WINE, tool}};
}

// Why the tested joiner cannot run here; empty when it can.
inline std::string joinerUnavailable()
{
    if (!kWindowsJoiner)
        return {};
    std::ifstream status(SKARVEL_WINE_PREFIX ".status");
    std::string line;
    if (!std::getline(status, line))
        return "the wine prefix was not made: run the Windows joiner's tests through ctest";
    return line == "ready" ? std::string() : line;
}

} // namespace testsupport

// Skips the test, saying why, when the tested joiner cannot run here.
#define SKARVEL_SKIP_UNLESS_JOINER_RUNS()                                           \
    do {                                                                            \
        if (const std::string why = testsupport::joinerUnavailable(); !why.empty()) \
            GTEST_SKIP() << why;                                                    \
    } while (false)
