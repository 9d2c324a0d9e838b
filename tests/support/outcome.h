// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/failure.h"
#include "ops/report_error.h"

#include <string>
#include <utility>

namespace testsupport {

// How one run of an operation ended: done, or the failure it threw: the text the user saw, whether
// the operation reported it itself (ReportError) rather than through the default box, and the
// file and reason the command line adds.
struct Outcome {
    bool failed = false;
    bool reported = false;
    std::string text; // "" when done
    std::string path;
    std::string reason;

    // A failure told by a program's output rather than thrown: only its text is known.
    static Outcome told(bool failed, bool reported, std::string text)
    {
        Outcome outcome;
        outcome.failed = failed;
        outcome.reported = reported;
        outcome.text = std::move(text);
        return outcome;
    }
};

// Runs the step and turns a Failure into its Outcome; anything else propagates.
template <typename Step>
Outcome outcomeOf(Step &&step)
{
    try {
        std::forward<Step>(step)();
    } catch (const fileio::Failure &failure) {
        const bool reported = dynamic_cast<const ops::ReportedFailure *>(&failure) != nullptr;
        return {true, reported, failure.text(), failure.path(), failure.reason()};
    }
    return {};
}

} // namespace testsupport
