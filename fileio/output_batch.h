// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "atomic_output.h"

#include <cstddef>
#include <string>
#include <vector>

namespace fileio {

// Outputs that take their names together: each is written whole under its temporary and added
// here, and commit() gives them their names one after the other, in the order added, once every
// one is whole. A failure, a stop or a kill before commit() leaves every name as it was, so a set
// of files is either the old one or the new one. Past a number of outputs waiting, the oldest are
// parked (named hidden and closed), so that any number of them holds few descriptors.
class OutputBatch {
public:
    // With `toDevice`, every output reaches the device before any takes its name; each one's flush
    // is made as the next one is added, so the device writes while the next is made.
    explicit OutputBatch(bool toDevice);

    // Takes a whole output; fails with the error of a flush or a park, and the target of the
    // output it failed on (an earlier one) in `failed`.
    [[nodiscard]] int add(AtomicOutput output, std::string &failed);
    bool empty() const { return m_outputs.empty(); }
    std::size_t size() const { return m_outputs.size(); }

    // Flushes what is left to flush. Returns 0, or the error and the output's target in `failed`.
    [[nodiscard]] int flush(std::string &failed);
    // Gives every output its name, in order: first each is named hidden and closed, then the
    // renames. A failure before the renames leaves every name as it was; one among them leaves the
    // outputs before it named (each whole) and drops the rest. Returns the error and the output's
    // target in `failed`.
    [[nodiscard]] int commit(const FileIds &keep, std::string &failed);
    // Drops every output not yet named: the names stay as they were.
    void abandon() { m_outputs.clear(); }

private:
    bool m_toDevice;
    std::size_t m_openLimit;
    std::size_t m_flushed = 0; // the outputs before this one have reached the device
    std::size_t m_parked = 0;  // and before this one hold no descriptor
    std::vector<AtomicOutput> m_outputs;
};

} // namespace fileio
