// SPDX-License-Identifier: GPL-3.0-or-later
#include "recovery_parts.h"

#include "temp_dir.h"

#include "digest/sha256.h"
#include "lists/checksum_list.h"
#include "lists/recovery_header.h"
#include "lists/set_names.h"

#include <gtest/gtest.h>

#include <isa-l/erasure_code.h>

#include <algorithm>

namespace testsupport {

void addRecoveryParts(const std::string &dir, int perGroup)
{
    std::vector<std::string> lines;
    const std::string list = readText(dir + "/info.sha256");
    for (std::size_t at = 0, next; (next = list.find('\n', at)) != std::string::npos; at = next + 1)
        lines.push_back(list.substr(at, next - at));
    const auto whole = lists::parseChecksumLine(lines.back());
    ASSERT_TRUE(whole);
    std::vector<Bytes> parts;
    lists::RecoveryLayout layout;
    layout.identity = whole->digest;
    for (std::size_t i = 0; i + 2 < lines.size(); ++i) {
        parts.push_back(readFile(dir + "/" + lists::parseChecksumLine(lines[i])->name));
        layout.partSizes.push_back(static_cast<std::int64_t>(parts.back().size()));
        layout.sourceSize += layout.partSizes.back();
    }
    const auto k = static_cast<int>(parts.size());
    layout.perGroup = perGroup;
    layout.groups = lists::recoveryGroupCount(k, perGroup);
    const auto length = static_cast<std::size_t>(layout.shardLength());
    for (Bytes &part : parts)
        part.resize(length, 0);

    std::string added;
    for (int group = 0; group < layout.groups; ++group) {
        std::vector<unsigned char *> data;
        for (int part = group; part < k; part += layout.groups)
            data.push_back(parts[static_cast<std::size_t>(part)].data());
        const auto kg = static_cast<int>(data.size());
        std::vector<unsigned char> matrix(static_cast<std::size_t>((kg + perGroup) * kg));
        gf_gen_cauchy1_matrix(matrix.data(), kg + perGroup, kg);
        std::vector<unsigned char> tables(static_cast<std::size_t>(kg * perGroup * 32));
        ec_init_tables(kg, perGroup, matrix.data() + kg * kg, tables.data());
        std::vector<Bytes> coded(static_cast<std::size_t>(perGroup), Bytes(length));
        std::vector<unsigned char *> out;
        for (Bytes &shard : coded)
            out.push_back(shard.data());
        ec_encode_data(static_cast<int>(length), kg, perGroup, tables.data(), data.data(), out.data());
        for (int row = 0; row < perGroup; ++row) {
            const int index = group * perGroup + row;
            Bytes file = lists::encodeRecoveryHeader({layout, index});
            file.insert(file.end(), coded[static_cast<std::size_t>(row)].begin(),
                        coded[static_cast<std::size_t>(row)].end());
            const std::string name = lists::recoveryPartName(whole->name, index + 1);
            writeFile(dir + "/" + name, file);
            digest::Sha256 hash;
            hash.update(file.data(), file.size());
            added += lists::checksumLine(hash.finish(), name);
        }
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i + 2 == lines.size() ? added : "") + lines[i] + "\n";
    writeFile(dir + "/info.sha256", text);
}

} // namespace testsupport
