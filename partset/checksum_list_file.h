// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ops/checksum_list_sink.h"

namespace partset {

// The checksum list of a Cut as the file "info.sha256" beside the parts and "info.txt": a line for
// each part made, then one for the whole source, each naming the file without its folders. Fails
// through IoErrorReport.
class ChecksumListFile final : public ops::ChecksumListFactory {
public:
    std::vector<std::string> fileNames(const std::string &folder) const override;
    std::unique_ptr<ops::ChecksumListSink> open(const std::string &folder, fileio::FileIds &keep,
                                                fileio::AtomicOutput::Existing existing) override;
};

} // namespace partset
