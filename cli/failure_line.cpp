// SPDX-License-Identifier: GPL-3.0-or-later
#include "failure_line.h"

#include "fileio/failure.h"
#include "fileio/printable_name.h"

#include <algorithm>
#include <cstring>

namespace cli {

namespace {

// What a shell reads as it stands, as coreutils' quoting leaves it bare; bytes of UTF-8
// characters beyond ASCII included.
bool plainCharacter(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')
        || (c != '\0' && std::strchr("%+,-./:=@_^", c) != nullptr);
}

} // namespace

std::string quotedName(const std::string &name)
{
    const std::string shown = fileio::printableName(name);
    if (!shown.empty() && shown == name && std::all_of(name.begin(), name.end(), plainCharacter))
        return name;
    std::string text = "'";
    for (const char c : shown)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

std::string failureLine(const fileio::Failure &failure)
{
    const std::string &path = failure.path();
    std::string line;
    if (path.empty())
        line = failure.head();
    else if (failure.namesFileAtTheEnd())
        line = failure.head() + " " + quotedName(path);
    else
        line = quotedName(path) + ": " + failure.text();
    if (const std::string reason = failure.reason(); !reason.empty())
        line += " (" + reason + ")";
    return line;
}

} // namespace cli
