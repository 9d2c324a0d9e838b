// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/recovery_coder.h"
#include "ops/isal_coder.h"

#include <gtest/gtest.h>

#include <isa-l/erasure_code.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using Shards = std::vector<std::vector<unsigned char>>;

// The k data shards and the n recovery shards ISA-L's own encoder makes of them.
Shards encodedByIsal(int k, int n, std::size_t length, std::mt19937 &random)
{
    Shards shards(static_cast<std::size_t>(k + n), std::vector<unsigned char>(length));
    for (int j = 0; j < k; ++j)
        for (unsigned char &byte : shards[static_cast<std::size_t>(j)])
            byte = static_cast<unsigned char>(random());
    std::vector<unsigned char> matrix(static_cast<std::size_t>((k + n) * k));
    gf_gen_cauchy1_matrix(matrix.data(), k + n, k);
    std::vector<unsigned char> tables(static_cast<std::size_t>(k * n * 32));
    ec_init_tables(k, n, matrix.data() + k * k, tables.data());
    std::vector<unsigned char *> in;
    std::vector<unsigned char *> out;
    for (int i = 0; i < k + n; ++i)
        (i < k ? in : out).push_back(shards[static_cast<std::size_t>(i)].data());
    ec_encode_data(static_cast<int>(length), k, n, tables.data(), in.data(), out.data());
    EXPECT_EQ(lists::cauchyMatrix(k, n), matrix);
    return shards;
}

// Rebuilds the lost shards from the first k others, by the coder.
Shards rebuilt(lists::RecoveryCoder &coder, const Shards &shards, int k, int n, const std::vector<int> &lost)
{
    std::vector<int> sources;
    for (int i = 0; i < k + n && static_cast<int>(sources.size()) < k; ++i)
        if (std::find(lost.begin(), lost.end(), i) == lost.end())
            sources.push_back(i);
    const std::optional<lists::GfMatrix> rows = lists::rebuildRows(k, n, sources, lost);
    EXPECT_TRUE(rows);
    if (!rows)
        return {};
    coder.setRows(k, static_cast<int>(lost.size()), *rows);
    const std::size_t length = shards[0].size();
    Shards made(lost.size(), std::vector<unsigned char>(length, 0xAA));
    std::vector<const unsigned char *> in;
    for (const int s : sources)
        in.push_back(shards[static_cast<std::size_t>(s)].data());
    std::vector<unsigned char *> out;
    for (auto &shard : made)
        out.push_back(shard.data());
    coder.code(length, in.data(), out.data());
    return made;
}

// Both coders give back exactly the shards ISA-L encoded, whichever are lost: data shards,
// recovery shards (remade from the data, as a repair does), or both.
TEST(RecoveryCoder, RebuildsWhatIsalEncodedOnTheSameRows)
{
    struct Row {
        int k;
        int n;
        std::size_t length;
        std::vector<int> lost;
    } rows[] = {
        {1, 1, 7, {0}},
        {2, 1, 100, {1}},
        {3, 2, 33, {0, 2}},
        {3, 2, 33, {3, 4}},
        {5, 3, 4096, {0, 5, 7}},
        {10, 2, 1000, {4, 9}},
        {10, 3, 511, {0, 1, 2}},
        {10, 3, 511, {9, 11, 12}},
        {252, 3, 64, {0, 100, 251}},
        {155, 100, 16, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 154, 160, 254}},
    };
    std::mt19937 random(7);
    ops::IsalCoder isal;
    lists::PortableCoder portable;
    for (const Row &row : rows) {
        const Shards shards = encodedByIsal(row.k, row.n, row.length, random);
        for (lists::RecoveryCoder *coder :
             {static_cast<lists::RecoveryCoder *>(&isal), static_cast<lists::RecoveryCoder *>(&portable)}) {
            const Shards made = rebuilt(*coder, shards, row.k, row.n, row.lost);
            ASSERT_EQ(made.size(), row.lost.size());
            for (std::size_t i = 0; i < made.size(); ++i)
                EXPECT_EQ(made[i], shards[static_cast<std::size_t>(row.lost[i])])
                    << "k " << row.k << " n " << row.n << " shard " << row.lost[i]
                    << (coder == &isal ? " isal" : " portable");
        }
    }
}

TEST(RecoveryCoder, RefusesSourcesThatCannotRebuild)
{
    EXPECT_FALSE(lists::rebuildRows(3, 2, {0, 1}, {2}));       // too few
    EXPECT_FALSE(lists::rebuildRows(3, 2, {0, 1, 1}, {2}));    // one twice: singular
    EXPECT_FALSE(lists::rebuildRows(3, 2, {0, 1, 5}, {2}));    // no such row
    EXPECT_FALSE(lists::invertMatrix({1, 2, 2, 4}, 2));        // singular
    EXPECT_EQ(lists::gfMultiply(lists::gfInverse(29), 29), 1); // every non-zero has an inverse
}

} // namespace
