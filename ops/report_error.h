// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/failure.h"

#include <cstdint>
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

// An operation stopped at the user's request, and what the stop left: every front end says it in
// its own words from these fields.
class Stopped : public fileio::Failure {
public:
    enum class Left {
        // Before the point of no return: every input whole, no partial output under an output's
        // name, nothing removed.
        AsItWas,
        // Erase stopped midway: the first bytes() of path() are zeros, the rest as they were, and
        // the file was kept.
        PartlyErased,
        // A Cut stopped after its outputs took their names: they are whole, and the source at
        // path() was kept rather than deleted.
        SourceKept,
        // A join onto a stream stopped midway: path() (standard output) has the join's start.
        PartlyWritten,
    };

    Stopped() : Failure(kStoppedText) {}
    Stopped(Left left, const std::string &path, std::int64_t bytes = 0)
        : Failure(kStoppedText, path), m_left(left), m_bytes(bytes)
    {
    }

    Left left() const { return m_left; }
    std::int64_t bytes() const { return m_bytes; }

    static constexpr const char *kStoppedText = "Stopped";

private:
    Left m_left = Left::AsItWas;
    std::int64_t m_bytes = 0;
};

} // namespace ops
