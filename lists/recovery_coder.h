// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// The coding of recovery parts: Reed-Solomon over GF(2^8) with the polynomial 0x11D. A group of k
// data shards and n recovery shards is coded by the (k + n) x k Cauchy matrix A: rows 0 .. k-1 the
// identity, row k + r, column j: 1 / ((k + r) ^ j). Any k rows of A are invertible, so any k whole
// shards give every other one. A matrix is kept row by row in one vector.
namespace lists {

using GfMatrix = std::vector<unsigned char>;

unsigned char gfMultiply(unsigned char a, unsigned char b);
// 0 has no inverse: gives 0.
unsigned char gfInverse(unsigned char a);

GfMatrix cauchyMatrix(int dataShards, int recoveryShards);
// The inverse of the size x size matrix; nothing when it is singular.
std::optional<GfMatrix> invertMatrix(GfMatrix matrix, int size);
// The rows that make each `wanted` shard (an index into A) from the `sources` shards (k indices
// into A, each different): one row of k coefficients per wanted shard.
std::optional<GfMatrix> rebuildRows(int dataShards, int recoveryShards, const std::vector<int> &sources,
                                    const std::vector<int> &wanted);

// Computes shards as sums of others: out[r] = sum over j of rows[r][j] * in[j], byte by byte.
class RecoveryCoder {
public:
    virtual ~RecoveryCoder() = default;
    // The coefficients, `outputs` rows of `inputs` each, for the calls to code() that follow.
    virtual void setRows(int inputs, int outputs, const GfMatrix &rows) = 0;
    virtual void code(std::size_t length, const unsigned char *const *in, unsigned char *const *out) = 0;
};

// In plain C++, with no library: the joiners' coder.
class PortableCoder final : public RecoveryCoder {
public:
    void setRows(int inputs, int outputs, const GfMatrix &rows) override;
    void code(std::size_t length, const unsigned char *const *in, unsigned char *const *out) override;

private:
    int m_inputs = 0;
    int m_outputs = 0;
    GfMatrix m_rows;
};

} // namespace lists
