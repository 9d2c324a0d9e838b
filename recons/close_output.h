// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/io_error.h"

namespace recons {

// Closes a file written beside the parts (a file, or a list that buffers its lines); with
// `toDevice`, its data reach the device first. Either failure ends in the default error box.
template <typename Output>
void closeOutput(Output &output, bool toDevice)
{
    if (toDevice) {
        if (const int err = output.syncData())
            fileio::failErrno(err);
    }
    if (const int err = output.close())
        fileio::failErrno(err);
}

} // namespace recons
