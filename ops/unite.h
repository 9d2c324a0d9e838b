#pragma once

#include <string>
#include <vector>

namespace ops {

class ProgressSink;

// Joins the inputs, in order, into the output, creating missing folders along its path.
// Every failure is reported as "Invalid file name" (ReportError).
void Unite(const std::vector<std::string> &inputs, const std::string &output, ProgressSink &progress);

} // namespace ops
