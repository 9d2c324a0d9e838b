// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace ops {

class ProgressSink;

// 0 adds the key ("+"), any other value subtracts it ("-").
enum class CodifyDirection : std::uint8_t { Add = 0, Subtract = 1 };

// Adds or subtracts the key file's bytes (repeated as needed) to the data file's bytes modulo
// 256, replacing the data file with the result. Throws Failure.
void Codify(const std::string &dataPath, const std::string &keyPath, CodifyDirection direction, ProgressSink &progress);

} // namespace ops
