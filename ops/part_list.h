// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/file.h"

#include <memory>
#include <string>

namespace ops {

// The part list and joiner that Cut leaves beside its parts on request. Cut sees only this
// interface; the files themselves are written elsewhere.
class PartList {
public:
    // Closes a list still open without writing the tool: the failure path of a Cut.
    virtual ~PartList() = default;

    // Appends the part just created (its full path).
    virtual void add(const std::string &partPath) = 0;
    // Writes the joiner, then closes the list; with `toDevice`, both are flushed to the device
    // first (the source is about to be deleted).
    virtual void finish(bool toDevice) = 0;
};

class PartListFactory {
public:
    virtual ~PartListFactory() = default;
    // Creates the list afresh and adds its file to `keep`. `keep` holds the files the list and
    // the joiner must not be written over (the file being cut, the parts made so far); it must
    // outlive the list, which looks at it again when it writes the joiner.
    virtual std::unique_ptr<PartList> open(fileio::FileIds &keep) = 0;
};

} // namespace ops
