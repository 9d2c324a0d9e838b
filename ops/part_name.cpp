// SPDX-License-Identifier: GPL-3.0-or-later
#include "part_name.h"

#include <algorithm>
#include <vector>

namespace ops {

namespace {

// Length of the UTF-8 character that starts at s[i]; an invalid byte counts as one character.
std::size_t characterLength(std::string_view s, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t len = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        len = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        len = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        len = 4;
    if (len == 1 || i + len > s.size())
        return 1;
    for (std::size_t k = 1; k < len; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 1;
    }
    return len;
}

// The byte offset where the last `count` characters begin, or 0 when there are no more.
std::size_t startOfLastCharacters(std::string_view s, std::size_t count)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < s.size(); i += characterLength(s, i))
        starts.push_back(i);
    return starts.size() <= count ? 0 : starts[starts.size() - count];
}

} // namespace

std::string PartFileName(std::string_view sourcePath, std::string_view marker, std::int64_t partNumber)
{
    // Never before the start of the file name: a short name must not send its parts into a
    // folder of another name.
    const std::size_t slash = sourcePath.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t at = nameStart + startOfLastCharacters(sourcePath.substr(nameStart), 4);
    std::string path;
    path.reserve(sourcePath.size() + marker.size() + 20);
    path.append(sourcePath.substr(0, at));
    path.append(marker);
    path.append(std::to_string(partNumber));
    path.append(sourcePath.substr(at));
    return path;
}

std::string NumberedPartName(std::string_view sourcePath, std::int64_t partNumber, std::int64_t partCount)
{
    const std::size_t width = std::max<std::size_t>(3, std::to_string(partCount).size());
    const std::string number = std::to_string(partNumber);
    std::string path(sourcePath);
    path += '.';
    path.append(number.size() < width ? width - number.size() : 0, '0');
    path += number;
    return path;
}

} // namespace ops
