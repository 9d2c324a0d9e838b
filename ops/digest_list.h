// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "digest/sha256.h"
#include "fileio/file.h"

#include <memory>
#include <string>

namespace ops {

// The checksum list Cut writes on request: a digest for every part it made, then one for the
// whole source. Cut sees only this interface; the file itself is written elsewhere.
class DigestList {
public:
    // Closes a list still open: the failure path of a Cut.
    virtual ~DigestList() = default;

    // The part just made (its full path) and the digest of its bytes.
    virtual void add(const std::string &partPath, const digest::Sha256Digest &digest) = 0;
    // The whole source's digest, after every part; then closes the list, with `toDevice` flushed
    // to the device first (the source is about to be deleted).
    virtual void finish(const std::string &sourcePath, const digest::Sha256Digest &digest, bool toDevice) = 0;
};

class DigestListFactory {
public:
    virtual ~DigestListFactory() = default;
    // Creates the list afresh, over none of the files in `keep` (the file being cut, the part
    // list), and adds its file to `keep`.
    virtual std::unique_ptr<DigestList> open(fileio::FileIds &keep) = 0;
};

} // namespace ops
