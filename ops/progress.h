// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/copy_progress.h"

#include <cstdint>

namespace ops {

// Where an operation reports how far it has come, in its own units (parts, files or bytes).
// A step of n units must have the same effect as n single steps.
class ProgressSink : public fileio::CopyProgress {
public:
    virtual void setMaximum(std::int64_t units) = 0;
    // The bytes the operation will read in all, told with the maximum: a display of bytes done,
    // rate and time left has its total from the operation, which alone knows its plan; -1 when
    // nobody knows it (a stream).
    virtual void setByteTotal(std::int64_t bytes) { static_cast<void>(bytes); }
    virtual void step(std::int64_t units = 1) = 0;
    // Position back to 0; the maximum stays.
    virtual void reset() = 0;
    // partway(done, total): the unit under way (a part of gigabytes, say) is `done` of `total`
    // bytes along; the step that follows completes it. Called between blocks of long copies, so
    // that a display moves within long units and a window repaints meanwhile.
};

class NullProgress final : public ProgressSink {
public:
    void setMaximum(std::int64_t) override {}
    void step(std::int64_t) override {}
    void reset() override {}
};

} // namespace ops
