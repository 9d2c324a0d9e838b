// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "digest/sha256.h"

#include <cstddef>
#include <string>
#include <vector>

namespace ops {

class ProgressSink;

// Checks a join as it goes: hears the digest of each input once it is copied, and the whole
// output's at the end. Throwing stops the join; the output, which would be wrong, is removed.
class JoinCheck {
public:
    virtual ~JoinCheck() = default;
    virtual void input(std::size_t index, const digest::Sha256Digest &digest) = 0;
    virtual void output(const digest::Sha256Digest &digest) = 0;
};

// Joins the inputs, in order, into the output, creating missing folders along its path.
// Every failure is reported as "Invalid file name" (ReportError); a check, when given, hashes
// the bytes on their way and may stop the join with its own exception.
void Unite(const std::vector<std::string> &inputs, const std::string &output, ProgressSink &progress,
           JoinCheck *check = nullptr);

} // namespace ops
