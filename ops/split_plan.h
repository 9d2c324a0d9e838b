// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ops {

// The units of a part size, as the unit box offers them.
enum class SizeUnit { Byte, Kb, Mb };

// The unit a text names: "byte", "Kb" or "Mb", exactly (the window's box), or with letter case
// aside ("kb" and "KB" are Kb: the command line). Nothing for any other text.
std::optional<SizeUnit> unitNamed(std::string_view text, bool caseAside = false);
const char *unitText(SizeUnit unit);

// How many parts a Cut by count makes: the spin box and the command line keep to these.
inline constexpr std::int32_t kMinPartCount = 2;
inline constexpr std::int32_t kMaxPartCount = 255;
constexpr bool validPartCount(std::int64_t count)
{
    return count >= kMinPartCount && count <= kMaxPartCount;
}

// The Cut page's mode inputs, as the controls hold them.
struct SplitMode {
    bool bySize = false;    // "By size" chosen
    std::string sizeText;   // the size field
    std::string unitText;   // "byte", "Kb" or "Mb"; any other text counts as bytes
    std::int32_t count = 2; // the spin box, 2 to 255
};

struct SplitPlan {
    std::int64_t partCount = 0;
    std::int64_t partSize = 0; // every part but the last

    std::int64_t lastPartSize(std::int64_t size) const { return size - (partCount - 1) * partSize; }
    std::int64_t partLength(std::int64_t n, std::int64_t size) const
    {
        return n == partCount ? lastPartSize(size) : partSize;
    }
};

// Plans the cut of `size` bytes. Works by size when "By size" is chosen and the size text holds a
// number other than 0, else by count. Fails with "Invalid file size" (ReportError) when the size
// cannot give every part at least one byte, and through the default error box when the size
// text is not a number.
SplitPlan MakeSplitPlan(std::int64_t size, const SplitMode &mode);

} // namespace ops
