// SPDX-License-Identifier: GPL-3.0-or-later
#include "console.h"

#include "joiner_failure.h"
#include "lists/name_limit.h"

namespace joiner {

Console::Console(fileio::NativeHandle input, fileio::NativeHandle output) : m_input(input), m_output(output) {}

Console::~Console()
{
    // The handles belong to the caller.
    m_input.release();
    m_output.release();
}

void Console::write(std::string_view text)
{
    if (const int err = put(text))
        failStep(err);
}

void Console::writeLine(std::string_view text)
{
    write(text);
    write("\r\n");
}

std::string Console::readLine()
{
    std::string line;
    for (;;) {
        char c = 0;
        bool ended = false;
        if (const int err = get(c, ended))
            failStep(err);
        if (ended || c == '\n')
            break;
        // Longer than any path can be: what is kept still fails as a name.
        if (line.size() <= lists::kMaxNameBytes)
            line += c;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace joiner
