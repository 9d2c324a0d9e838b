// SPDX-License-Identifier: GPL-3.0-or-later
#include "console.h"

namespace joiner {

int Console::put(std::string_view text)
{
    return m_output.write(text.data(), text.size());
}

// One byte a read, so that nothing after the line is taken from a shared input.
int Console::get(char &c, bool &ended)
{
    std::size_t got = 0;
    const int err = m_input.read(&c, 1, got);
    ended = got == 0;
    return err;
}

} // namespace joiner
