// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lists/recovery_coder.h"

#include <vector>

namespace ops {

// The recovery coder of skarvel-cli: the same sums as lists::PortableCoder, by ISA-L's vector code.
class IsalCoder final : public lists::RecoveryCoder {
public:
    void setRows(int inputs, int outputs, const lists::GfMatrix &rows) override;
    void code(std::size_t length, const unsigned char *const *in, unsigned char *const *out) override;

private:
    int m_inputs = 0;
    int m_outputs = 0;
    std::vector<unsigned char> m_tables; // ec_init_tables' expansion of the rows
};

} // namespace ops
