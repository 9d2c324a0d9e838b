// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as info.sha256: the reader ends and reports, in order, the lines the bytes hold when
// split at LF by hand (a whole byte-order mark at the start, empty lines and comments passed
// over), an entry for each SHA-256 line no longer than its cap and a malformed line for every
// other, so it never reports more than the file holds. Every entry, and whatever parseChecksumLine
// makes of the bytes as one line, holds the digest its line spells and comes back unchanged
// through the writer.
#include "memory_file.h"

#include "lists/checksum_list.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using fuzz::require;
using Line = lists::ChecksumReader::Line;

// The reader's longest line without the LF: the digest, two marks and a name of the longest path,
// each byte escaped.
constexpr std::size_t kMaxLine = 64 + 2 + 2 * 4096;

// The lines that are neither empty nor comments; incomplete tells whether a comment says that the
// parts do not make the whole file.
std::vector<std::string_view> listedLines(std::string_view text, bool &incomplete)
{
    if (text.starts_with(lists::kByteOrderMark))
        text.remove_prefix(lists::kByteOrderMark.size());
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line == "\r")
            continue;
        if (line.starts_with('#')) {
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            incomplete = incomplete || line == lists::kIncompleteSetComment;
            continue;
        }
        lines.push_back(line);
    }
    return lines;
}

std::string lowered(std::string_view text)
{
    std::string low(text);
    std::transform(low.begin(), low.end(), low.begin(), [](unsigned char c) { return std::tolower(c); });
    return low;
}

// An entry parsed from this line: the digest the line spells, a name no longer than the line
// leaves for it, and the same again from the line the writer makes of it, which is one line.
void checkEntry(std::string_view line, const lists::ChecksumEntry &entry)
{
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    const std::size_t at = line.starts_with('\\') ? 1 : 0;
    require(line.size() >= at + 64 + 3, "an entry from a line too short to hold one");
    require(lowered(line.substr(at, 64)) == digest::toHex(entry.digest), "a digest other than the line's");
    require(entry.name.size() <= line.size() - at - 66, "a name longer than its line");
    require(!entry.name.empty(), "an entry without a name");

    const std::string written = lists::checksumLine(entry.digest, entry.name);
    require(written.find_first_of("\r\n") == written.size() - 1, "a written line that is not one line");
    const auto again = lists::parseChecksumLine(std::string_view(written).substr(0, written.size() - 1));
    require(again.has_value(), "a written line that does not parse");
    require(again->digest == entry.digest, "a digest that changes through the writer");
    require(again->name == entry.name, "a name that changes through the writer");
}

void checkList(fuzz::MemoryFile &memory, std::string_view bytes)
{
    bool incomplete = false;
    const std::vector<std::string_view> lines = listedLines(bytes, incomplete);

    fileio::File &file = memory.fill(bytes);
    lists::ChecksumReader reader(file);
    for (std::size_t i = 0;; ++i) {
        Line kind{};
        lists::ChecksumEntry entry;
        require(reader.next(kind, entry) == 0, "reading a memory file failed");
        if (i == lines.size()) {
            require(kind == Line::End, "more lines than the file holds");
            break;
        }
        require(kind != Line::End, "the end before the last line");
        const auto parsed = lines[i].size() <= kMaxLine ? lists::parseChecksumLine(lines[i]) : std::nullopt;
        require(kind == (parsed ? Line::Entry : Line::Malformed),
                "an entry or malformed line where the file has the other");
        if (parsed) {
            require(entry.digest == parsed->digest && entry.name == parsed->name, "an entry other than its line");
            checkEntry(lines[i], entry);
        }
    }
    require(reader.incompleteSet() == incomplete, "the incomplete-set comment missed or imagined");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static fuzz::MemoryFile memory(lists::kChecksumListName);
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);

    if (const auto entry = lists::parseChecksumLine(bytes))
        checkEntry(bytes, *entry);

    checkList(memory, bytes);
    return 0;
}
