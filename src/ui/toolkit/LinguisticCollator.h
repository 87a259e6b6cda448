#pragma once

#include <QCollator>

namespace pagesmith {

// A collator for the user's locale that orders names as people read them
// ("a.tif", "B.tif", "c.tif"). Under the C locale Qt compares code units
// (every capital before every small letter) and ignores numeric mode, so
// English collation stands in for it there.
QCollator linguisticCollator(Qt::CaseSensitivity caseSensitivity, bool numeric);

} // namespace pagesmith
