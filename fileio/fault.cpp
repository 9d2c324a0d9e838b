// SPDX-License-Identifier: GPL-3.0-or-later
#include "fault.h"

#include <array>
#include <atomic>

namespace fileio::faults {

namespace {

struct Fault {
    long nth = 0; // 0: not armed
    int err = 0;
    bool onward = false; // every call from the nth on fails, not only the nth
};

struct State {
    std::array<Fault, kSysCallKinds> faults{};
    // Counted on every thread that makes calls (the recovery parts' coder beside Cut's own).
    std::array<std::atomic<long>, kSysCallKinds> counts{};
    std::uint64_t fileSystemType = 0;
};

State &state()
{
    static State s;
    return s;
}

int index(SysCall call)
{
    return static_cast<int>(call);
}

} // namespace

void arm(SysCall call, long nth, int err)
{
    State &s = state();
    s.faults[index(call)] = {nth, err};
    resetCounts();
}

void armFrom(SysCall call, long nth, int err)
{
    arm(call, nth, err);
    state().faults[index(call)].onward = true;
}

void disarm(SysCall call)
{
    state().faults[index(call)] = {};
}

void disarm()
{
    state().faults.fill({});
}

long count(SysCall call)
{
    return state().counts[index(call)];
}

void resetCounts()
{
    for (std::atomic<long> &count : state().counts)
        count = 0;
}

void fakeFileSystemType(std::uint64_t type)
{
    state().fileSystemType = type;
}

std::uint64_t fakedFileSystemType()
{
    return state().fileSystemType;
}

int check(SysCall call)
{
    State &s = state();
    const long n = ++s.counts[index(call)];
    const Fault &fault = s.faults[index(call)];
    const bool hit = fault.nth == n || (fault.onward && fault.nth > 0 && n > fault.nth);
    return hit ? fault.err : -1;
}

} // namespace fileio::faults
