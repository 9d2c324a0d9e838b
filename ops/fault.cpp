#include "fault.h"

#include <array>

namespace ops::faults {

namespace {

struct Fault {
    long nth = 0; // 0: not armed
    int err = 0;
};

struct State {
    std::array<Fault, kSysCallKinds> faults{};
    std::array<long, kSysCallKinds> counts{};
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
    s.counts.fill(0);
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
    state().counts.fill(0);
}

int check(SysCall call)
{
    State &s = state();
    const long n = ++s.counts[index(call)];
    const Fault &fault = s.faults[index(call)];
    return fault.nth == n ? fault.err : -1;
}

} // namespace ops::faults
