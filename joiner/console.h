// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/file.h"

#include <string>
#include <string_view>

namespace joiner {

// The joiner's standard input and output, unbuffered, with the exact bytes it is given. How the
// bytes reach the system is the platform's (console_posix.cpp, console_windows.cpp).
class Console {
public:
    // Takes the handles without owning them.
    Console(fileio::NativeHandle input, fileio::NativeHandle output);
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
    // Writes all of the text. Returns 0 or the system's error number.
    int put(std::string_view text);
    // The next byte typed; ended at the end of input. Returns 0 or the system's error number.
    int get(char &c, bool &ended);

    fileio::File m_input;
    fileio::File m_output;
    // Bytes typed but not yet taken: a Windows console hands over a whole line at once.
    std::string m_typed;
};

} // namespace joiner
