// SPDX-License-Identifier: GPL-3.0-or-later
#include "isal_coder.h"

#include <isa-l/erasure_code.h>

#include <climits>

namespace ops {

void IsalCoder::setRows(int inputs, int outputs, const lists::GfMatrix &rows)
{
    m_inputs = inputs;
    m_outputs = outputs;
    // 32 bytes of tables for each coefficient.
    m_tables.assign(static_cast<std::size_t>(inputs) * static_cast<std::size_t>(outputs) * 32, 0);
    lists::GfMatrix copy = rows; // ec_init_tables takes a pointer to non-const
    ec_init_tables(inputs, outputs, copy.data(), m_tables.data());
}

void IsalCoder::code(std::size_t length, const unsigned char *const *in, unsigned char *const *out)
{
    // ISA-L counts in int: a longer stripe goes in pieces.
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    std::vector<unsigned char *> sources(static_cast<std::size_t>(m_inputs));
    std::vector<unsigned char *> targets(static_cast<std::size_t>(m_outputs));
    for (std::size_t done = 0; done < length; done += kPiece) {
        const std::size_t n = length - done < kPiece ? length - done : kPiece;
        for (std::size_t j = 0; j < sources.size(); ++j)
            sources[j] = const_cast<unsigned char *>(in[j]) + done; // only read
        for (std::size_t r = 0; r < targets.size(); ++r)
            targets[r] = out[r] + done;
        ec_encode_data(static_cast<int>(n), m_inputs, m_outputs, m_tables.data(), sources.data(), targets.data());
    }
}

} // namespace ops
