// SPDX-License-Identifier: GPL-3.0-or-later
#include "recovery_coder.h"

#include <array>
#include <cstring>
#include <utility>

namespace lists {

namespace {

// Powers and logarithms of the generator 2, made once; the powers twice over, so a sum of two
// logarithms needs no reduction.
struct GfTables {
    std::array<unsigned char, 512> exp{};
    std::array<int, 256> log{};

    GfTables()
    {
        int x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[static_cast<std::size_t>(i)] = static_cast<unsigned char>(x);
            exp[static_cast<std::size_t>(i + 255)] = static_cast<unsigned char>(x);
            log[static_cast<std::size_t>(x)] = i;
            x <<= 1;
            if (x & 0x100)
                x ^= 0x11D;
        }
    }
};

const GfTables &tables()
{
    static const GfTables made;
    return made;
}

} // namespace

unsigned char gfMultiply(unsigned char a, unsigned char b)
{
    if (a == 0 || b == 0)
        return 0;
    const GfTables &t = tables();
    return t.exp[static_cast<std::size_t>(t.log[a] + t.log[b])];
}

unsigned char gfInverse(unsigned char a)
{
    if (a == 0)
        return 0;
    const GfTables &t = tables();
    return t.exp[static_cast<std::size_t>(255 - t.log[a])];
}

GfMatrix cauchyMatrix(int dataShards, int recoveryShards)
{
    const auto k = static_cast<std::size_t>(dataShards);
    const std::size_t rows = k + static_cast<std::size_t>(recoveryShards);
    GfMatrix matrix(rows * k, 0);
    for (std::size_t i = 0; i < k; ++i)
        matrix[i * k + i] = 1;
    for (std::size_t i = k; i < rows; ++i)
        for (std::size_t j = 0; j < k; ++j)
            matrix[i * k + j] = gfInverse(static_cast<unsigned char>(i ^ j));
    return matrix;
}

std::optional<GfMatrix> invertMatrix(GfMatrix matrix, int size)
{
    // Gauss-Jordan: the same steps on the matrix and on the identity turn the one into the
    // identity and the other into the inverse.
    const auto n = static_cast<std::size_t>(size);
    GfMatrix inverse(n * n, 0);
    for (std::size_t i = 0; i < n; ++i)
        inverse[i * n + i] = 1;
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        while (pivot < n && matrix[pivot * n + col] == 0)
            ++pivot;
        if (pivot == n)
            return std::nullopt;
        if (pivot != col) {
            for (std::size_t j = 0; j < n; ++j) {
                std::swap(matrix[pivot * n + j], matrix[col * n + j]);
                std::swap(inverse[pivot * n + j], inverse[col * n + j]);
            }
        }
        const unsigned char scale = gfInverse(matrix[col * n + col]);
        for (std::size_t j = 0; j < n; ++j) {
            matrix[col * n + j] = gfMultiply(matrix[col * n + j], scale);
            inverse[col * n + j] = gfMultiply(inverse[col * n + j], scale);
        }
        for (std::size_t row = 0; row < n; ++row) {
            const unsigned char factor = matrix[row * n + col];
            if (row == col || factor == 0)
                continue;
            for (std::size_t j = 0; j < n; ++j) {
                matrix[row * n + j] ^= gfMultiply(factor, matrix[col * n + j]);
                inverse[row * n + j] ^= gfMultiply(factor, inverse[col * n + j]);
            }
        }
    }
    return inverse;
}

std::optional<GfMatrix> rebuildRows(int dataShards, int recoveryShards, const std::vector<int> &sources,
                                    const std::vector<int> &wanted)
{
    const auto k = static_cast<std::size_t>(dataShards);
    if (sources.size() != k)
        return std::nullopt;
    const GfMatrix coding = cauchyMatrix(dataShards, recoveryShards);
    const std::size_t rows = coding.size() / k;
    // The sources are the rows of A they were made by applied to the data: the data is the
    // inverse of those rows applied to them, and a wanted shard its row of A applied to the data.
    GfMatrix chosen(k * k);
    for (std::size_t i = 0; i < k; ++i) {
        const auto row = static_cast<std::size_t>(sources[i]);
        if (sources[i] < 0 || row >= rows)
            return std::nullopt;
        std::memcpy(&chosen[i * k], &coding[row * k], k);
    }
    const std::optional<GfMatrix> inverse = invertMatrix(std::move(chosen), dataShards);
    if (!inverse)
        return std::nullopt;
    GfMatrix result(wanted.size() * k, 0);
    for (std::size_t w = 0; w < wanted.size(); ++w) {
        const auto row = static_cast<std::size_t>(wanted[w]);
        if (wanted[w] < 0 || row >= rows)
            return std::nullopt;
        for (std::size_t j = 0; j < k; ++j) {
            unsigned char sum = 0;
            for (std::size_t m = 0; m < k; ++m)
                sum ^= gfMultiply(coding[row * k + m], (*inverse)[m * k + j]);
            result[w * k + j] = sum;
        }
    }
    return result;
}

void PortableCoder::setRows(int inputs, int outputs, const GfMatrix &rows)
{
    m_inputs = inputs;
    m_outputs = outputs;
    m_rows = rows;
}

void PortableCoder::code(std::size_t length, const unsigned char *const *in, unsigned char *const *out)
{
    const auto inputs = static_cast<std::size_t>(m_inputs);
    std::array<unsigned char, 256> product{};
    for (std::size_t r = 0; r < static_cast<std::size_t>(m_outputs); ++r) {
        unsigned char *target = out[r];
        std::memset(target, 0, length);
        for (std::size_t j = 0; j < inputs; ++j) {
            const unsigned char c = m_rows[r * inputs + j];
            if (c == 0)
                continue;
            // The products of this coefficient, once per input rather than per byte.
            for (int x = 0; x < 256; ++x)
                product[static_cast<std::size_t>(x)] = gfMultiply(c, static_cast<unsigned char>(x));
            const unsigned char *source = in[j];
            for (std::size_t i = 0; i < length; ++i)
                target[i] ^= product[source[i]];
        }
    }
}

} // namespace lists
