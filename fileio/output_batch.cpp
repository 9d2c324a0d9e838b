// SPDX-License-Identifier: GPL-3.0-or-later
#include "output_batch.h"

#include <algorithm>

#include <sys/resource.h>

namespace fileio {

namespace {

// Outputs kept open while they wait: an unnamed temporary leaves nothing behind after a kill,
// but each holds a descriptor. A quarter of what the process may open, at most 256.
std::size_t openLimit()
{
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return 256;
    return std::clamp<std::size_t>(static_cast<std::size_t>(limit.rlim_cur / 4), 1, 256);
}

} // namespace

OutputBatch::OutputBatch(bool toDevice) : m_toDevice(toDevice), m_openLimit(openLimit()) {}

int OutputBatch::add(AtomicOutput output, std::string &failed)
{
    if (m_toDevice && m_flushed < m_outputs.size()) {
        if (const int err = m_outputs[m_flushed].flush()) {
            failed = m_outputs[m_flushed].target();
            return err;
        }
        ++m_flushed;
    }
    m_outputs.push_back(std::move(output));
    while (m_outputs.size() - m_parked > m_openLimit) {
        // A parked output is flushed as it closes, when the batch goes to the device.
        if (const int err = m_outputs[m_parked].park(m_toDevice)) {
            failed = m_outputs[m_parked].target();
            return err;
        }
        m_flushed = std::max(m_flushed, ++m_parked);
    }
    return 0;
}

int OutputBatch::flush(std::string &failed)
{
    for (; m_toDevice && m_flushed < m_outputs.size(); ++m_flushed) {
        if (const int err = m_outputs[m_flushed].flush()) {
            failed = m_outputs[m_flushed].target();
            return err;
        }
    }
    return 0;
}

int OutputBatch::commit(const FileIds &keep, std::string &failed)
{
    if (const int err = flush(failed))
        return err;
    // Every output named hidden and closed first, so that what can still fail in a close (a
    // write the device refuses late) fails before any output has taken its name; then the renames.
    for (; m_parked < m_outputs.size(); ++m_parked) {
        if (const int err = m_outputs[m_parked].park(false)) {
            failed = m_outputs[m_parked].target();
            abandon();
            return err;
        }
    }
    for (AtomicOutput &output : m_outputs) {
        if (const int err = output.finish(keep)) {
            failed = output.target();
            abandon();
            return err;
        }
    }
    m_outputs.clear();
    return 0;
}

} // namespace fileio
