// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/failure.h"

#include <string>
#include <utility>

namespace testsupport {

// How one run of an operation ended: done, or the failure it threw and the text the user saw.
struct Outcome {
    bool failed = false;
    fileio::FailureKind kind = fileio::FailureKind::Report;
    std::string text; // "" when done

    // The text as its box shows it: the default box adds the full stop.
    std::string boxText() const { return fileio::Failure(kind, text).boxText(); }
};

// Runs the step and turns a Failure into its Outcome; anything else propagates.
template <typename Step>
Outcome outcomeOf(Step &&step)
{
    try {
        std::forward<Step>(step)();
    } catch (const fileio::Failure &failure) {
        return {true, failure.kind(), failure.text()};
    }
    return {};
}

} // namespace testsupport
