// SPDX-License-Identifier: GPL-3.0-or-later
#include "atomic_output.h"

#include <utility>

namespace fileio {

AtomicOutput::~AtomicOutput()
{
    abandon();
}

AtomicOutput::AtomicOutput(AtomicOutput &&other) noexcept
    : m_file(std::move(other.m_file)), m_id(other.m_id), m_replaces(other.m_replaces),
      m_replacedBits(other.m_replacedBits), m_target(std::move(other.m_target)),
      m_temporary(std::exchange(other.m_temporary, {})), m_existing(other.m_existing)
{
}

AtomicOutput &AtomicOutput::operator=(AtomicOutput &&other) noexcept
{
    if (this != &other) {
        abandon();
        m_file = std::move(other.m_file);
        m_id = other.m_id;
        m_replaces = other.m_replaces;
        m_replacedBits = other.m_replacedBits;
        m_target = std::move(other.m_target);
        m_temporary = std::exchange(other.m_temporary, {});
        m_existing = other.m_existing;
    }
    return *this;
}

int AtomicOutput::flush()
{
    return m_file.isOpen() ? m_file.syncData() : 0;
}

int AtomicOutput::park(bool toDevice)
{
    if (!m_file.isOpen())
        return 0;
    int err = toDevice ? m_file.syncData() : 0;
    if (!err && m_temporary.empty())
        err = nameTemporary();
    if (!err)
        err = m_file.close();
    if (err)
        abandon();
    return err;
}

int AtomicOutput::finish(const FileIds &keep, bool toDevice)
{
    int err = 0;
    if (m_file.isOpen()) {
        if (toDevice)
            err = m_file.syncData();
        if (!err && m_temporary.empty())
            err = nameTemporary();
        if (!err)
            err = m_file.close();
    }
    if (!err)
        err = rename(keep);
    if (err) {
        abandon();
        return err;
    }
    m_temporary.clear();
    return 0;
}

void AtomicOutput::abandon()
{
    if (m_file.isOpen())
        static_cast<void>(m_file.close());
    if (!m_temporary.empty())
        static_cast<void>(removeFile(m_temporary));
    m_temporary.clear();
}

} // namespace fileio
