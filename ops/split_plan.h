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
// 1, 1024 or 1048576.
std::int64_t unitBytes(SizeUnit unit);

// How many parts a Cut by count makes: the spin box and the command line keep to these.
inline constexpr std::int32_t kMinPartCount = 2;
inline constexpr std::int32_t kMaxPartCount = 255;
constexpr bool validPartCount(std::int64_t count)
{
    return count >= kMinPartCount && count <= kMaxPartCount;
}

// How a Cut divides its source: into `count` parts, or, where `partBytes` is not 0, into parts of
// that many bytes, the last taking the rest.
struct SplitBy {
    std::int32_t count = 2;
    std::int64_t partBytes = 0;
};

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

// The Cut page's mode as a SplitBy: by size when "By size" is chosen and the size text holds a
// number other than 0 ("0" and "00" mean by count), the number times the unit (any text but "Kb"
// or "Mb" counting as bytes); else by count. A size text that is no 32-bit number fails through the
// default error box, unless it is the bytes of a size preset in bytes, which the unit box writes.
SplitBy splitByOf(const SplitMode &mode);

// Plans the cut of `size` bytes. Fails with "Invalid file size" (ReportError) for a count outside
// 2 to 255, a part size below 0, and a size that cannot give every part at least one byte.
SplitPlan planSplit(std::int64_t size, const SplitBy &by);

// The plan of the Cut page's mode: planSplit(size, splitByOf(mode)).
SplitPlan MakeSplitPlan(std::int64_t size, const SplitMode &mode);

} // namespace ops
