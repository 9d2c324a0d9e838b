// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace fileio {

// Hears how far a long copy has come, between its blocks, and tells it when to stop.
class CopyProgress {
public:
    virtual ~CopyProgress() = default;

    // The copy under way is `done` of `total` bytes along.
    virtual void partway(std::int64_t done, std::int64_t total)
    {
        static_cast<void>(done);
        static_cast<void>(total);
    }

    // Whether the user has asked the operation to stop: a long copy ends between two blocks.
    virtual bool stopRequested() const { return false; }
};

// Tells `progress`, where there is one, that `done` of `total` bytes are copied; false when the
// copy is to stop there (never once it is whole).
inline bool reportPartway(CopyProgress *progress, std::int64_t done, std::int64_t total)
{
    if (!progress)
        return true;
    progress->partway(done, total);
    return done == total || !progress->stopRequested();
}

} // namespace fileio
