// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recons_image.h"

#include "ops/part_list_sink.h"

#include <vector>

namespace partset {

// The part list of a Cut as files beside the parts: "info.txt" and, once the Cut has written every
// part, the joiners for the recipients' systems: "Recons.exe" for Windows, "recons" for Linux.
class PartListFiles final : public ops::PartListFactory {
public:
    explicit PartListFiles(std::vector<JoinerPlatform> joiners = builtJoiners()) : m_joiners(std::move(joiners)) {}

    std::vector<std::string> fileNames(const std::string &folder) const override;
    std::unique_ptr<ops::PartListSink> open(const std::string &folder, fileio::FileIds &keep,
                                            fileio::AtomicOutput::Existing existing) override;

private:
    std::vector<JoinerPlatform> m_joiners;
};

} // namespace partset
