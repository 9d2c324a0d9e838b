// SPDX-License-Identifier: GPL-3.0-or-later
// Two lists from one input, split at the first "\n--8<--\n": info.txt before it, info.sha256 after
// it (empty without it). Paired as the joiners and `unite --list` pair them, they end refused with a
// problem a terminal can show, or accepted, and accepted exactly when the checksum list, read on
// its own, holds an entry naming each line of the part list, read on its own, in order, then one
// more entry and nothing else. Each part the pairing passes on is a line of the part list in its
// place, with the digest of the entry in the same place.
#include "memory_file.h"

#include "lists/list_pairing.h"
#include "lists/part_list_reader.h"

#include "lists/checksum_list.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using fuzz::require;
using Line = lists::ChecksumReader::Line;

constexpr std::string_view kSeparator = "\n--8<--\n";

std::vector<std::string> partLines(fileio::File &file)
{
    lists::PartListReader reader(file);
    std::vector<std::string> lines;
    while (!reader.atEnd())
        lines.push_back(reader.readLine());
    return lines;
}

// Every line the checksum reader reports, malformed ones as nothing.
struct ChecksumLines {
    std::vector<std::optional<lists::ChecksumEntry>> lines;
    bool incomplete = false;
};

ChecksumLines checksumLines(fileio::File &file)
{
    lists::ChecksumReader reader(file);
    ChecksumLines read;
    for (;;) {
        Line kind{};
        lists::ChecksumEntry entry;
        require(reader.next(kind, entry) == 0, "reading a memory file failed");
        if (kind == Line::End)
            break;
        read.lines.push_back(kind == Line::Entry ? std::optional(entry) : std::nullopt);
    }
    read.incomplete = reader.incompleteSet();
    return read;
}

bool listsPair(const std::vector<std::string> &parts, const ChecksumLines &checksums)
{
    if (checksums.lines.size() != parts.size() + 1 || !checksums.lines.back())
        return false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!checksums.lines[i] || checksums.lines[i]->name != parts[i])
            return false;
    }
    return true;
}

bool showable(const std::string &text)
{
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static fuzz::MemoryFile partList("info.txt");
    static fuzz::MemoryFile checksumList(lists::kChecksumListName);
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t cut = std::min(input.find(kSeparator), input.size());
    const std::string_view partBytes = input.substr(0, cut);
    const std::string_view checksumBytes = input.substr(std::min(cut + kSeparator.size(), input.size()));

    try {
        std::vector<lists::ChecksumEntry> paired;
        const lists::Pairing pairing =
            lists::pairLists(partList.fill(partBytes), checksumList.fill(checksumBytes),
                             [&paired](const std::string &name, const digest::Sha256Digest &digest) {
                                 paired.push_back({digest, name});
                             });
        const std::vector<std::string> parts = partLines(partList.fill(partBytes));
        const ChecksumLines checksums = checksumLines(checksumList.fill(checksumBytes));

        require(pairing.problem.empty() == listsPair(parts, checksums), "lists paired or refused wrongly");
        require(showable(pairing.problem), "a problem that sends control bytes to the terminal");
        require(paired.size() <= parts.size(), "more parts paired than listed");
        if (pairing.problem.empty())
            require(paired.size() == parts.size(), "a listed part left unpaired");
        for (std::size_t i = 0; i < paired.size(); ++i) {
            require(paired[i].name == parts[i], "a part paired under a name other than its line's");
            require(i < checksums.lines.size() && checksums.lines[i] && paired[i].digest == checksums.lines[i]->digest,
                    "a part paired with a digest other than its line's");
        }
        require(pairing.incompleteSet == (pairing.problem.empty() && checksums.incomplete),
                "the incomplete-set comment missed or imagined");
    } catch (const lists::ListReadError &) {
        require(false, "reading a memory file failed");
    }
    return 0;
}
