#pragma once

#include "fileio/file.h"

#include <string>
#include <string_view>

namespace recons_tool {

// The joiner's standard input and output, unbuffered, with the exact bytes it is given.
class Console {
public:
    // Takes the descriptors without owning them.
    Console(int input, int output);
    ~Console();
    Console(const Console &) = delete;
    Console &operator=(const Console &) = delete;

    // Writes the text as it is; a failure is a failed step.
    void write(std::string_view text);
    // Writes the text and CR LF.
    void writeLine(std::string_view text);
    // One line typed: up to the Enter key, which is consumed. The line ends at LF; a CR right
    // before the LF belongs to the line end. The end of input ends the line too.
    std::string readLine();

private:
    fileio::File m_input;
    fileio::File m_output;
};

} // namespace recons_tool
