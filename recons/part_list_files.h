#pragma once

#include "ops/part_list.h"

namespace recons {

// The part list of a Cut as files in the current directory: "info.txt" and, when the Cut has
// written every part, the joiner "Recons.exe".
class PartListFiles final : public ops::PartListFactory {
public:
    std::unique_ptr<ops::PartList> open(fileio::FileIds &keep) override;
};

} // namespace recons
