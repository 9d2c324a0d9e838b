// SPDX-License-Identifier: GPL-3.0-or-later
#include "printable_name.h"

namespace fileio {

namespace {

bool continuation(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0xBF;
}

// The length of the UTF-8 sequence that starts at `at`, or 0 when none does.
std::size_t sequenceLength(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2
        : lead >= 0xE0 && lead <= 0xEF                      ? 3
        : lead >= 0xF0 && lead <= 0xF4                      ? 4
                                                            : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!continuation(static_cast<unsigned char>(text[at + i])))
            return 0;
    }
    return length;
}

} // namespace

std::string printableName(std::string_view name)
{
    std::string shown;
    shown.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        const auto byte = static_cast<unsigned char>(name[at]);
        if (const std::size_t length = sequenceLength(name, at)) {
            // U+0080 to U+009F: 0xC2 and a second byte up to 0x9F.
            const bool c1 = byte == 0xC2 && static_cast<unsigned char>(name[at + 1]) <= 0x9F;
            shown += c1 ? std::string_view("?") : name.substr(at, length);
            at += length;
            continue;
        }
        // A byte of no UTF-8 character: to an 8-bit terminal 0x80 to 0x9F are controls too.
        const bool control = byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte <= 0x9F);
        shown += control ? '?' : static_cast<char>(byte);
        ++at;
    }
    return shown;
}

} // namespace fileio
