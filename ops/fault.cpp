#include "fault.h"

#include <array>

namespace ops::faults {

namespace {

struct State {
    bool armed = false;
    SysCall call = SysCall::Open;
    long nth = 0;
    int err = 0;
    std::array<long, kSysCallKinds> counts{};
};

State &state()
{
    static State s;
    return s;
}

} // namespace

void arm(SysCall call, long nth, int err)
{
    State &s = state();
    s.armed = true;
    s.call = call;
    s.nth = nth;
    s.err = err;
    s.counts.fill(0);
}

void disarm()
{
    state().armed = false;
}

long count(SysCall call)
{
    return state().counts[static_cast<int>(call)];
}

void resetCounts()
{
    state().counts.fill(0);
}

int check(SysCall call)
{
    State &s = state();
    const long n = ++s.counts[static_cast<int>(call)];
    if (s.armed && s.call == call && s.nth == n)
        return s.err;
    return -1;
}

} // namespace ops::faults
