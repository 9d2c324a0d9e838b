// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ops/digest_list.h"

namespace recons {

// The checksum list of a Cut as the file "info.sha256" in the current directory, beside where
// "info.txt" goes: a line for each part made, then one for the whole source, each naming the
// file without its folders. Fails through IoErrorReport.
class DigestListFile final : public ops::DigestListFactory {
public:
    std::unique_ptr<ops::DigestList> open(fileio::FileIds &keep) override;
};

} // namespace recons
