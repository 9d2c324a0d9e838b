#include "console.h"

#include "joiner_failure.h"
#include "name_limit.h"

namespace recons_tool {

Console::Console(int input, int output) : m_input(input), m_output(output)
{
}

Console::~Console()
{
    // The descriptors belong to the caller.
    m_input.release();
    m_output.release();
}

void Console::write(std::string_view text)
{
    if (const int err = m_output.write(text.data(), text.size()))
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
        std::size_t got = 0;
        if (const int err = m_input.read(&c, 1, got))
            failStep(err);
        if (got == 0 || c == '\n')
            break;
        // Longer than any path can be: what is kept still fails as a name.
        if (line.size() <= kMaxNameBytes)
            line += c;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace recons_tool
