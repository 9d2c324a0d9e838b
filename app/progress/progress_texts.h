// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/form/caption_table.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace app {

// What the progress bar says, in the interface language: while an operation runs, how far it is and
// how long it has left; once it has ended well, what it made.

// The seconds left of a run that has done `share` (0 to 1) of its work in `seconds`; none while too
// little is done to tell.
std::optional<double> secondsLeft(double share, double seconds);

// "41%, 7 s left", «41 %, осталось 7 с»; the percent alone without an estimate.
QString runningText(double share, std::optional<double> left, Language language);

// The operations, as a finished one is told.
enum class Finished { Cut, Unite, Encipher, Decipher, Erase };

// "12 parts, 4.0 GiB, in 38 s", «12 частей, 4,0 ГиБ, за 38 с»: `units` of the operation's own
// (parts, files; bytes for the others) and the bytes they hold.
QString finishedText(Finished what, std::int64_t units, std::int64_t bytes, double seconds, Language language);

// "4.0 GiB", «4,0 ГиБ»; below a KiB, the bytes.
QString sizeText(std::int64_t bytes, Language language);
// "38 s", "2 min 5 s", "1 h 2 min", rounded up to the second.
QString durationText(double seconds, Language language);

} // namespace app
