// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recons_image.h"

#include "ops/part_list.h"

namespace recons {

// The part list of a Cut as files in the current directory: "info.txt" and, when the Cut has
// written every part, the joiner "Recons.exe" for the recipients' system.
class PartListFiles final : public ops::PartListFactory {
public:
    explicit PartListFiles(JoinerPlatform joiner = JoinerPlatform::Linux) : m_joiner(joiner) {}

    std::unique_ptr<ops::PartList> open(fileio::FileIds &keep) override;

private:
    JoinerPlatform m_joiner;
};

} // namespace recons
