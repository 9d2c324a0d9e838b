// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "digest/sha256.h"
#include "fileio/atomic_output.h"
#include "fileio/output_batch.h"

#include <memory>
#include <string>
#include <vector>

namespace ops {

// The checksum list Cut writes on request: a digest for every part it made, then one for the
// whole source. Cut sees only this interface; the file itself is written elsewhere.
class ChecksumListSink {
public:
    // Drops a list still unfinished: the failure path of a Cut.
    virtual ~ChecksumListSink() = default;

    // The part just made (its full path) and the digest of its bytes.
    virtual void add(const std::string &partPath, const digest::Sha256Digest &digest) = 0;
    // The whole source's digest, after every part; `complete` is false when parts were left
    // out, so that the parts cannot give the whole source back. Then hands the list to `batch`,
    // which names it with the parts.
    virtual void finish(const std::string &sourcePath, const digest::Sha256Digest &digest, bool complete,
                        fileio::OutputBatch &batch) = 0;
};

class ChecksumListFactory {
public:
    virtual ~ChecksumListFactory() = default;
    // The names of the files the list writes, in `folder`.
    virtual std::vector<std::string> fileNames(const std::string &folder) const = 0;
    // Starts the list afresh in `folder`, over none of the files in `keep` (the file being cut,
    // the part list), and adds its file to `keep`.
    virtual std::unique_ptr<ChecksumListSink> open(const std::string &folder, fileio::FileIds &keep,
                                                   fileio::AtomicOutput::Existing existing) = 0;
};

} // namespace ops
