// SPDX-License-Identifier: GPL-3.0-or-later
#include "size_preset.h"

namespace ops {

namespace {

// A disc's parts leave 4 MiB of it to the disc's own file system (its descriptors, directories
// and anchors), which a part of the whole capacity would not leave.
constexpr std::int64_t kDiscReserve = std::int64_t{4} << 20;
constexpr std::int64_t kSector = 2048;

constexpr SizePreset kPresets[] = {
    // A message of 10 MB (10000000 bytes): base64 makes 3 bytes 4 characters and ends a line every
    // 76, which leaves 7.3 MB for the file, less the headers.
    {"email10", 7000000, "a file sent by e-mail where a message may be 10 MB"},
    // The same for 25 MB: 25000000 * 3 / 4 * 76 / 78 is 18.27 MB, less the headers.
    {"email25", 18000000, "a file sent by e-mail where a message may be 25 MB"},
    // 360000 sectors, the 80-minute CD-R.
    {"cd700", 360000 * kSector - kDiscReserve, "a part on a 700 MB CD-R"},
    {"chat2000", std::int64_t{2000} << 20, "a chat service's limit of 2000 MiB a file"},
    {"2g-upload", std::int64_t{2} << 30, "an upload limit of 2 GiB (2147483648 bytes)"},
    {"fat32", (std::int64_t{4} << 30) - 1, "the largest file FAT32 holds (4 GiB less one byte)"},
    // 2295104 sectors of a DVD+R, a few less than a DVD-R has: the part fits both.
    {"dvd", 2295104 * kSector - kDiscReserve, "a part on a single-layer DVD+R or DVD-R (4.7 GB)"},
    // 4171712 sectors of a DVD+R DL, fewer than a DVD-R DL's.
    {"dvd-dl", 4171712 * kSector - kDiscReserve, "a part on a dual-layer DVD+R or DVD-R (8.5 GB)"},
    // 12219392 sectors, a BD-R burnt without spare areas.
    {"bd25", 12219392 * kSector - kDiscReserve, "a part on a single-layer BD-R (25 GB)"},
};

} // namespace

std::span<const SizePreset> sizePresets()
{
    return kPresets;
}

const SizePreset *sizePresetNamed(std::string_view name)
{
    for (const SizePreset &preset : kPresets) {
        if (name == preset.name)
            return &preset;
    }
    return nullptr;
}

const SizePreset *sizePresetOf(std::int64_t bytes)
{
    for (const SizePreset &preset : kPresets) {
        if (bytes == preset.bytes)
            return &preset;
    }
    return nullptr;
}

const SizePreset *largestPresetWithin(std::int64_t bytes)
{
    const SizePreset *found = nullptr;
    for (const SizePreset &preset : kPresets) {
        if (preset.bytes <= bytes && (found == nullptr || preset.bytes > found->bytes))
            found = &preset;
    }
    return found;
}

} // namespace ops
