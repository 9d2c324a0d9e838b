// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/failure.h"

#include <string>

namespace ops {

inline constexpr const char *kInvalidFileName = "Invalid file name";
inline constexpr const char *kInvalidFileSize = "Invalid file size";

// A failure the operation foresees and tells itself (ReportError: the window's plain "Error" box),
// as against a step that failed under it (the default error box).
class ReportedFailure : public fileio::Failure {
public:
    using Failure::Failure;
};

[[noreturn]] void reportError(const std::string &text, const std::string &path = {}, int err = 0,
                              const std::string &why = {});
// "Invalid file name" for a name that names no regular file, saying whether it names nothing or
// something else (a folder, a FIFO, a device).
[[noreturn]] void reportNoFile(const std::string &path);

// An operation stopped at the user's request before its end; it has left every input whole and no
// partial output under an output's name.
class Stopped : public fileio::Failure {
public:
    Stopped() : Failure(kStoppedText) {}
    static constexpr const char *kStoppedText = "Stopped";
};

} // namespace ops
