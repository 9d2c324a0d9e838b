// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

// Skips the running test where the system withholds what it needs (root for a mount, the right to
// set a file flag, a pseudo-terminal): SKIP_UNLESS(disk.mounted(), "mount a tmpfs: " << disk.why()).
#define SKIP_UNLESS(granted, what) \
    if (granted) {                 \
    } else                         \
        GTEST_SKIP() << "cannot " << what << " here"
