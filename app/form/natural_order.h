// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caption_table.h"

#include <QCollator>

namespace app {

// Orders names as people number files, in the alphabet of the interface language: runs of digits
// compare as numbers ("film2" before "film10"), case aside, and "ё" sorts with "е".
QCollator naturalOrder(Language language);

} // namespace app
