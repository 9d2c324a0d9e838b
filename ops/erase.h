#pragma once

#include <string>

namespace ops {

class ProgressSink;

// Overwrites every byte of the file with 0, flushes it to the device, then removes it.
// Throws Failure; a failed removal is not reported.
void Erase(const std::string &path, ProgressSink &progress);

} // namespace ops
