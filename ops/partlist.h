#pragma once

#include "fileio/file.h"

#include <memory>
#include <optional>
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
    // Writes the joiner, then closes the list.
    virtual void finish() = 0;
};

class PartListFactory {
public:
    virtual ~PartListFactory() = default;
    // Creates the list afresh. `source` is the file being cut: neither the list nor the joiner
    // may be written over it, whatever names lead to it.
    virtual std::unique_ptr<PartList> open(const std::optional<fileio::FileId> &source) = 0;
};

} // namespace ops
