// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "digest/sha256.h"
#include "fileio/atomic_output.h"
#include "fileio/file.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ops {

class ProgressSink;

// Checks a join as it goes: hears the digest of each input once it is copied. Throwing stops the
// join; the output, which would be wrong, never gets its name.
class JoinCheck {
public:
    virtual ~JoinCheck() = default;
    virtual void input(std::size_t index, const digest::Sha256Digest &digest) = 0;
    // The digest of the whole output, once every input is in, before it takes its name.
    virtual void whole(const digest::Sha256Digest &digest) = 0;
};

// Inputs a join makes rather than reads from their files: a join by list's parts rebuilt from its
// recovery parts. Their files may be missing.
class MadeInputs {
public:
    virtual ~MadeInputs() = default;
    virtual bool makes(std::size_t index) const = 0;
    virtual std::int64_t size(std::size_t index) const = 0;
    // Hands the input's bytes to `write`, in order; throws to stop the join.
    virtual void make(std::size_t index, const std::function<void(const unsigned char *, std::size_t)> &write) = 0;
};

// Joins the inputs, in order, into the output, creating missing folders along its path. Every
// input is looked at before anything is made; the output is written under a temporary name and
// takes its name only when whole (and checked), so a failure or a stop leaves a file of that name
// as it was and takes away the folders it made. An input that changes while it is copied fails
// the join. Every failure is reported as "Invalid file name" (ReportedFailure) naming the file at
// fault, a stop as Stopped; a check, when given, hashes the bytes on their way and may stop the
// join with its own exception. The output may be none of the inputs nor of the files in
// `alsoKeep` (the lists a join by list reads); `existing` says whether a file of its name may be
// replaced (the window asks first).
void Unite(const std::vector<std::string> &inputs, const std::string &output, ProgressSink &progress,
           JoinCheck *check = nullptr, const fileio::FileIds &alsoKeep = {},
           fileio::AtomicOutput::Existing existing = fileio::AtomicOutput::Existing::Replace,
           MadeInputs *made = nullptr);

// Joins the inputs, in order, onto the open stream `out` (standard output), which failures name
// `outName`. Every input is looked at before anything is written, as for a file; but the bytes
// leave as they are copied, so a failure, a stop (Stopped, Left::PartlyWritten) or a check that
// fails ends the join with the stream holding what was written by then. A stream that is a
// regular file may be none of the inputs nor of `alsoKeep`.
void UniteToStream(const std::vector<std::string> &inputs, fileio::File &out, const std::string &outName,
                   ProgressSink &progress, JoinCheck *check = nullptr, const fileio::FileIds &alsoKeep = {},
                   MadeInputs *made = nullptr);

} // namespace ops
