// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/failure.h"
#include "fileio/fault.h"
#include "ops/cut.h"
#include "support/outcome.h"

#include <cerrno>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Walks an operation through every file call it makes, failing each in turn, and checks that the
// user is told what the step's failure is meant to say and that no byte is lost.
namespace reliability {

using fileio::SysCall;

using testsupport::Outcome;
using testsupport::outcomeOf;

// Runs a Cut with its set, as the window and the command line run it, and returns how it ended.
Outcome cutWithTheSet(const ops::CutRequest &request);

// What a failure of one call is meant to end with. "{dir}" in a text stands for the run's folder.
struct Expect {
    enum class Kind { Silent, Report, Box, Io };
    Kind kind = Kind::Silent;
    std::string text; // Report and Box
};
Expect silent();
Expect report(const std::string &text);
Expect box(const std::string &text);
// The I/O error report for the injected errno.
Expect io();

// The calls of one kind, in the order the operation makes them: `calls` calls in a row that
// fail alike. `atEnd` is what a read or write that moves nothing leads to there, when that is
// not what an errno leads to (a read of nothing at the end of a file is no failure).
struct Steps {
    long calls;
    const char *what;
    Expect expect;
    std::optional<Expect> atEnd = std::nullopt;
};

// A fault armed for every run of a scenario, under the walked one.
struct BaseFault {
    SysCall call;
    long nth;
    int err;
    bool onward; // every call from the nth on
};

// The fault a walk run armed.
struct Injection {
    SysCall call;
    long nth;
    int err;
};

struct Scenario {
    std::string name;
    std::vector<BaseFault> base;
    // Puts the inputs into the fresh folder.
    std::function<void(const std::string &dir)> prepare;
    // Runs the operation with the folder as the current directory.
    std::function<Outcome(const std::string &dir)> run;
    // Checks the folder afterwards; no injection for the run without a fault.
    std::function<void(const std::string &dir, const Outcome &, const std::optional<Injection> &)> check;
    // What the folder may hold afterwards, relative names; a trailing "*" matches any rest. An
    // output's hidden temporary may stay only when the walked fault is a removal.
    std::vector<std::string> mayExist;
    std::map<SysCall, std::vector<Steps>> steps;
};

// Every copy finds no copy_file_range and falls back to reading and writing.
inline constexpr BaseFault kNoCopyRange{SysCall::CopyRange, 1, EXDEV, true};
// The file system has no unnamed files: every output's temporary is a hidden named one.
inline constexpr BaseFault kNoUnnamedFiles{SysCall::Unnamed, 1, EOPNOTSUPP, true};

// A scenario of that name; with `faulted`, every run of it meets `base` beside the walked fault.
Scenario namedScenario(const std::string &name, bool faulted, const BaseFault &base = kNoCopyRange);

const char *callName(SysCall call);
// The errnos a call of this kind is failed with; 0 is a transfer of nothing.
std::vector<int> errnosFor(SysCall call);

// Walks the scenario and returns how many faults it injected.
long walk(const Scenario &scenario);

} // namespace reliability
