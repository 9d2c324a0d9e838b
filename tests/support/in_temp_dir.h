// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "temp_dir.h"

#include <gtest/gtest.h>

namespace testsupport {

// A test run in a fresh folder of its own, made the current directory for the test's length.
class InTempDir : public ::testing::Test {
protected:
    TempDir dir;

private:
    ScopedCurrentDir m_here{dir.path()};
};

} // namespace testsupport
