// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace cli {

// The shell completions of skarvel-cli, made from its command table: the commands, their options
// with the words or file names a value takes, and the first operand's words or file names. The
// descriptions zsh and fish show are the options' and commands' lines of the help. Throws
// std::logic_error when an option has no line in its command's help.
std::string bashCompletion();
std::string zshCompletion();
std::string fishCompletion();

} // namespace cli
