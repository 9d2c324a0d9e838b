#pragma once

#include "arguments.h"

#include <functional>
#include <vector>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs one operation: a Failure becomes "skarvel-cli: TEXT" on standard error (TEXT exactly as
// the window's box shows it) and exit 1; a UsageError the usage message and exit 2.
int runOperation(const std::function<void()> &operation);

} // namespace cli
