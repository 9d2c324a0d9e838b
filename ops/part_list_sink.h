// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/atomic_output.h"
#include "fileio/output_batch.h"

#include <memory>
#include <string>
#include <vector>

namespace ops {

// The part list and joiners that Cut leaves beside its parts on request. Cut sees only this
// interface; the files themselves are written elsewhere.
class PartListSink {
public:
    // Drops a list still unfinished, and with it every file it was writing: the failure path of a
    // Cut.
    virtual ~PartListSink() = default;

    // Appends the part just created (its full path).
    virtual void add(const std::string &partPath) = 0;
    // Writes the joiners, then hands them and the list, last, to `batch`, which names them with
    // the parts.
    virtual void finish(fileio::OutputBatch &batch) = 0;
};

class PartListFactory {
public:
    virtual ~PartListFactory() = default;
    // The names of the files the list writes, in `folder`.
    virtual std::vector<std::string> fileNames(const std::string &folder) const = 0;
    // Starts the list afresh in `folder` (a directory part: empty for the current one) and adds
    // its file to `keep`. `keep` holds the files the list and the joiners must not be written
    // over (the file being cut, the parts made so far); it must outlive the list, which looks at
    // it again when it finishes. `existing` says whether files of their names may be replaced.
    virtual std::unique_ptr<PartListSink> open(const std::string &folder, fileio::FileIds &keep,
                                               fileio::AtomicOutput::Existing existing) = 0;
};

} // namespace ops
